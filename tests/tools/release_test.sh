#!/usr/bin/env bash
# Disc images from outside: make-disc gives the same bytes for the same
# folder contents whatever the time zone, umask, locale and the order in
# which the folder's files were made; it refuses a link that leaves the
# folder and leaves no partial image when it fails.
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
TZ=Asia/Tokyo LC_ALL=ja_JP.UTF-8 "$root/tools/make-disc" "$disc1" "$work/one.iso" QVSAMPLE1 || fail "make-disc of disc 1"
(umask 077; TZ=America/New_York LC_ALL=C "$root/tools/make-disc" "$work/copy" "$work/two.iso" QVSAMPLE1) ||
    fail "make-disc of the copy"
[ "$(sha256sum <"$work/one.iso")" = "$(sha256sum <"$work/two.iso")" ] ||
    fail "the same contents gave two images"
SOURCE_DATE_EPOCH=86400 "$root/tools/make-disc" "$disc1" "$work/three.iso" QVSAMPLE1 || fail "make-disc with a date"
[ "$(sha256sum <"$work/one.iso")" != "$(sha256sum <"$work/three.iso")" ] || fail "SOURCE_DATE_EPOCH was not used"

ln -s /etc/passwd "$work/copy/PASSWD"
"$root/tools/make-disc" "$work/copy" "$work/one.iso" >"$work/said" 2>&1
[ $? -eq 1 ] || fail "a link that leaves the folder: not refused"
grep -q "a symbolic link leaves the folder: $work/copy/PASSWD" "$work/said" || fail "the link is not named"
[ "$(sha256sum <"$work/one.iso")" = "$(sha256sum <"$work/two.iso")" ] || fail "a refused image replaced the earlier one"
ls "$work"/*.partial.* >/dev/null 2>&1 && fail "a partial image is left"

[ $failed -eq 0 ] && echo "release: every case as expected"
exit $failed
