#!/usr/bin/env bash
# Files for the EXPAND tests, made with Debian's mscompress (SZDD):
# make_lz_fixtures.sh OUTPUT_FOLDER SAMPLE_BINARY
set -euo pipefail
out=$1
mkdir -p "$out"
seq 1 5000 >"$out/TEXT.TXT"
cp "$2" "$out/BINARY.BIN"
for f in TEXT.TXT BINARY.BIN; do
    mscompress "$out/$f"
    mv "$out/${f}_" "$out/${f%?}_"
done
# The first part of a compressed file: its header announces more than it holds.
head -c 2000 "$out/TEXT.TX_" >"$out/DAMAGED.TX_"
