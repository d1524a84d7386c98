#!/usr/bin/env bash
# Disc images from outside: make-disc gives the same bytes for the same
# folder contents whatever the time zone, umask, locale and the order in
# which the folder's files were made; it refuses a link that leaves the
# folder or a name with no CP932 form and leaves no partial image. The
# manifest it writes: verify-disc finds the sample images whole, and names
# a flipped byte, a file removed and one added, an edited manifest and a cut
# image; qvcheck warns at a file that differs from its folder's manifest.
# Usage: release_test.sh BUILD_TREE
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
disc1=$1/discs/disc1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# The copy is made in the reverse order, by a user whose umask is 077; the
# files keep their times, as any copy of the same contents may.
mkdir "$work/copy"
(cd "$disc1" && find . -type d | sort -r) | while read -r folder; do (umask 077; mkdir -p "$work/copy/$folder"); done
(cd "$disc1" && find . -type f | sort -r) | while read -r file; do
    (umask 077; cp --preserve=timestamps "$disc1/$file" "$work/copy/$file")
done
make_disc() { "$root/tools/make-disc" "$@" >/dev/null; }
TZ=Asia/Tokyo LC_ALL=ja_JP.UTF-8 make_disc "$disc1" "$work/one.iso" QVSAMPLE1 || fail "make-disc of disc 1"
(umask 077; TZ=America/New_York LC_ALL=C make_disc "$work/copy" "$work/two.iso" QVSAMPLE1) ||
    fail "make-disc of the copy"
[ "$(sha256sum <"$work/one.iso")" = "$(sha256sum <"$work/two.iso")" ] ||
    fail "the same contents gave two images"
SOURCE_DATE_EPOCH=86400 make_disc "$disc1" "$work/three.iso" QVSAMPLE1 || fail "make-disc with a date"
[ "$(sha256sum <"$work/one.iso")" != "$(sha256sum <"$work/three.iso")" ] || fail "SOURCE_DATE_EPOCH was not used"

ln -s /etc/passwd "$work/copy/PASSWD"
"$root/tools/make-disc" "$work/copy" "$work/one.iso" >"$work/said" 2>&1
[ $? -eq 1 ] || fail "a link that leaves the folder: not refused"
grep -q "a symbolic link leaves the folder: $work/copy/PASSWD" "$work/said" || fail "the link is not named"
[ "$(sha256sum <"$work/one.iso")" = "$(sha256sum <"$work/two.iso")" ] || fail "a refused image replaced the earlier one"
mkdir "$work/accents" && echo x >"$work/accents/café.txt"
"$root/tools/make-disc" "$work/accents" "$work/accents.iso" >"$work/said" 2>&1
[ $? -eq 1 ] && grep -q "no CP932 form.*café.txt" "$work/said" || fail "a name with no CP932 form: $(cat "$work/said")"
ls "$work"/*.partial.* "$work/accents.iso" >/dev/null 2>&1 && fail "a partial image is left"

# verify-disc SOURCE; its output in $work/said, its exit code in $code.
verify() {
    "$root/tools/verify-disc" "$1" >"$work/said" 2>&1
    code=$?
}
said() { grep -qF -- "$1" "$work/said" || fail "$2: not said: $1 ($(tr '\n' ' ' <"$work/said"))"; }
for image in "$1/discs/disc1.iso" "$1/discs/disc2.iso"; do
    verify "$image"
    [ $code -eq 0 ] || fail "verify-disc of $image: exit code $code, $(tail -n 1 "$work/said")"
done
mkdir "$work/small" && printf 'the first file of the disc\n' >"$work/small/A.TXT" && echo b >"$work/small/B.TXT"
make_disc "$work/small" "$work/small.iso"
python3 - "$work/small.iso" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[data.find(b"first file") + 4] ^= 1
open(sys.argv[1], "wb").write(data)
PY
verify "$work/small.iso"
[ $code -eq 1 ] || fail "a flipped byte: exit code $code"
said "differs: A.TXT" "a flipped byte"
head -c 40000 "$work/one.iso" >"$work/cut.iso"
verify "$work/cut.iso"
[ $code -eq 1 ] || fail "a cut image: exit code $code, $(tail -n 1 "$work/said")"

# A folder with its manifest: one file removed, one added, one changed.
python3 "$root/tools/release/manifest.py" write "$work/small" "$work/small/QVDISC.SUM"
rm "$work/small/B.TXT" && echo c >"$work/small/C.TXT"
verify "$work/small"
[ $code -eq 1 ] || fail "a file removed and one added: exit code $code"
said "missing: B.TXT" "a file removed"
said "not in the manifest: C.TXT" "a file added"
echo changed >"$work/small/A.TXT"
"$root/tools/qvcheck" "$work/small" >"$work/said" 2>&1
said "$work/small/A.TXT: warning: the file differs from the manifest: its size" "qvcheck"
said "$work/small/QVDISC.SUM:4:1: warning: B.TXT is in the manifest, but not on the disc" "qvcheck"
said "$work/small/C.TXT: warning: the file is not in the disc's manifest" "qvcheck"
sed -i 's/^; The last/; the last/' "$work/small/QVDISC.SUM"
verify "$work/small"
[ $code -eq 1 ] || fail "an edited manifest: exit code $code"
said "QVDISC.SUM can't be trusted: its check line fails" "an edited manifest"

[ $failed -eq 0 ] && echo "release: every case as expected"
exit $failed
