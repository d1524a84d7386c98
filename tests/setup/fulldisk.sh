#!/usr/bin/env bash
# A small full-able file system for the copy tests: fulldisk.sh mount|umount DIR.
# Mounting needs root; without it the folder stays an ordinary folder and the
# tests that need a full drive skip themselves.
set -u
mkdir -p "$2"
case $1 in
mount) mountpoint -q "$2" || mount -t tmpfs -o size=256k qvkit-fulldisk "$2" 2>/dev/null || true ;;
umount) mountpoint -q "$2" && umount "$2" ;;
esac
exit 0
