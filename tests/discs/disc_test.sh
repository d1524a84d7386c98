#!/usr/bin/env bash
# The sample media from their disc images: disc_test.sh BENCH_DIR PROGRAM_FOLDER DISC_FOLDER [SHOTS]
# Mounts disc1.iso and disc2.iso of DISC_FOLDER read-only (a loop mount, or
# fuseiso where the kernel has no ISO 9660), then runs disc_test.exe, which
# gives them to Wine as one CD-ROM drive and swaps them at the prompt.
# Mounting needs root: without a mount the test skips itself, and says so.
set -u
bench=$1 programs=$2 discs=$3 shots=${4:-}
work="$bench/discs"
mkdir -p "$work/1" "$work/2"

unmount() {
    local point
    for point in "$work/1" "$work/2"; do
        mountpoint -q "$point" || continue
        umount "$point" 2>/dev/null || fusermount -u "$point" 2>/dev/null || true
    done
}
mount_image() {
    mountpoint -q "$2" && return 0
    mount -o loop,ro,norock "$1" "$2" 2>/dev/null && return 0
    command -v fuseiso >/dev/null && fuseiso -p "$1" "$2" -o ro 2>/dev/null && mountpoint -q "$2"
}
trap unmount EXIT

if ! mount_image "$discs/disc1.iso" "$work/1" || ! mount_image "$discs/disc2.iso" "$work/2"; then
    echo "SKIPPED: the disc images could not be mounted (a loop or FUSE mount needs root)"
    exit 0
fi
windows() { echo "Z:${1//\//\\}"; }
QV_DISC1=$(windows "$work/1") QV_DISC2=$(windows "$work/2") QV_SHOTS=${shots:+$(windows "$shots")} \
    "$(dirname "$0")/../../tools/wine-run" "$bench" "$programs/disc_test.exe"
