#!/usr/bin/env bash
# SHUTDOWN in a Wine prefix of its own (a copy of the bench prefix, with its
# own wineserver): the restart that the command asks for ends qvsetup.exe
# long before the one-minute SLEEP after it would. The SLEEP before it shows
# that the script did run up to the command.
# Usage: shutdown_test.sh BENCH_DIR QVSETUP_EXE
set -euo pipefail
source "$(dirname "$0")/../kit/own_prefix.sh" "$1"
program=$2
mkdir "$work/media"
printf '[DefaultInstall]\r\nSLEEP,3000\r\nSHUTDOWN,,1\r\nSLEEP,60000\r\n' >"$work/media/QVSETUP.INF"

start=$(date +%s)
status=0
timeout -k 5 90 wine "$program" "$(winepath -w "$work/media")" >/dev/null 2>&1 || status=$?
elapsed=$(( $(date +%s) - start ))
echo "qvsetup.exe ended after ${elapsed} s with status $status"
if [ "$status" -eq 124 ] || [ "$elapsed" -lt 3 ] || [ "$elapsed" -ge 45 ]; then
    echo "FAIL: the restart did not end the program" >&2
    exit 1
fi
echo "PASS: Windows ended the program"
