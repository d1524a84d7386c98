#!/usr/bin/env bash
# Disc images from outside: make-disc gives the same bytes for the same
# folder contents whatever the time zone, umask, locale, file modes and the
# order in which the folder's files were made; it refuses a link that
# leaves the folder or names a folder, a name with no CP932 form or too
# long for Joliet, two names that differ only in case, and leaves no
# partial image; it follows a link to a file of the folder. The
# manifest it writes: verify-disc finds the sample images whole, and names
# a flipped byte, a file removed and one added, an edited manifest, a cut
# image and a file the Joliet tree (what Windows reads) lacks; qvcheck warns
# at a file that differs from its folder's manifest.
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

# As Windows reads the disc: folder paths with "=" and a blank serve; modes
# 0644 and 0755 give one image; a link to a file of the folder is followed,
# and said; a name of 110 characters, a.txt beside A.TXT and a link to a
# folder are refused. An image of plain xorriso whose Joliet tree lacks a
# file that its manifest and Rock Ridge have: verify-disc names the file.
media="$work/a=b c/media"
mkdir -p "$media" && echo a >"$media/A.TXT"
make_disc "$media" "$work/modes1.iso" MODES || fail "make-disc of a folder path with = and a blank"
chmod 755 "$media/A.TXT"
make_disc "$media" "$work/modes2.iso" MODES || fail "make-disc of a file of mode 0755"
cmp -s "$work/modes1.iso" "$work/modes2.iso" || fail "modes 0644 and 0755 gave two images"
ln -s A.TXT "$media/LINK.TXT"
"$root/tools/make-disc" "$media" "$work/link.iso" >"$work/said" 2>&1 || fail "a link to a file of the folder: refused"
said "LINK.TXT is a symbolic link: the disc holds a copy of the file it names" "a link followed"
verify "$work/link.iso"
[ $code -eq 0 ] || fail "verify-disc of an image with a link followed: $(tail -n 1 "$work/said")"
rm "$media/LINK.TXT"
for refused in "$(printf 'N%.0s' $(seq 106)).TXT:longer than the 103 characters a Joliet name holds" \
    "a.txt:two names differ only in case" "LSUB:a symbolic link to a folder"; do
    name=${refused%%:*}
    case $name in
        LSUB) mkdir "$media/SUB" && ln -s SUB "$media/LSUB" ;;
        *) echo b >"$media/$name" ;;
    esac
    "$root/tools/make-disc" "$media" "$work/refused.iso" >"$work/said" 2>&1
    code=$?
    [ $code -eq 1 ] && [ ! -e "$work/refused.iso" ] || fail "$name: exit code $code, or an image made"
    said "${refused#*:}" "$name"
    rm -rf "${media:?}/$name" "$media/SUB"
done
mkdir "$work/plain" && echo hi >"$work/plain/A.TXT" && ln -s A.TXT "$work/plain/LINK.TXT"
python3 "$root/tools/release/manifest.py" write "$work/plain" "$work/plain/QVDISC.SUM" 2>/dev/null
xorriso -as mkisofs -r -J -joliet-long -o "$work/plain.iso" "$work/plain" >/dev/null 2>&1
verify "$work/plain.iso"
[ $code -eq 1 ] || fail "an image whose Joliet tree lacks a file: exit code $code"
said "missing where Windows reads (the Joliet tree): LINK.TXT" "the Joliet tree"

[ $failed -eq 0 ] && echo "release: every case as expected"
exit $failed
