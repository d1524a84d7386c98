#!/usr/bin/env bash
# typescan in fresh Wine sessions (a copy of the bench prefix, with its own
# wineserver), each started anew and holding a stopped Biospeek service left
# by a crashed run, before any run has loaded the driver in that session,
# with two CPU-bound programs running beside (a busy factory PC): the first
# run fails and removes the service, and every later run reads the table.
# QV_STALE_SESSIONS sessions (default 3).
# Usage: stale_service_test.sh BENCH_DIR TYPESCAN_EXE BIOSPEEK_SYS SMBIOS_TABLE
set -euo pipefail
source "$(dirname "$0")/../kit/own_prefix.sh" "$1"
sessions=${QV_STALE_SESSIONS:-3}
mkdir "$work/scan"
cp "$2" "$work/scan/TYPESCAN.EXE"
cp "$3" "$work/scan/Biospeek.sys"
cp "$4" "$work/scan/Biospeek.dat"
driver=$(winepath -w "$work/scan/Biospeek.sys")
# The busy programs end with the test, at the latest after ten minutes.
busy=()
for _ in 1 2; do
    timeout 600 sh -c 'while :; do :; done' &
    busy+=($!)
done
trap 'kill "${busy[@]}" 2>/dev/null; end_own_prefix' EXIT
read_after=0
for session in $(seq "$sessions"); do
    timeout 30 wineserver -k 2>/dev/null || true
    timeout 60 wine sc delete Biospeek >/dev/null 2>&1 || true
    timeout 60 wine sc create Biospeek type= kernel start= demand binPath= "$driver" >/dev/null 2>&1
    codes=""
    for run in 1 2 3; do
        status=0
        timeout -k 5 60 wine "$work/scan/TYPESCAN.EXE" /mode=0 /d >"$work/said$run" 2>&1 </dev/null || status=$?
        codes="$codes $status"
    done
    echo "session $session, exit codes of three runs after the stale service:$codes"
    if [ "$codes" = " 0 1 1" ]; then
        read_after=$((read_after + 1))
    else
        for run in 1 2 3; do
            echo "  run $run said: $(iconv -c -f CP932 -t UTF-8 <"$work/said$run" | tr -d '\r' | tr '\n' ' ')"
        done
    fi
done
echo "$read_after/$sessions sessions: the runs after the removal read the table"
if [ "$read_after" -ne "$sessions" ]; then
    echo "FAIL: wanted 0 (the stale service is removed), then 1 and 1 (the table is read) in every session" >&2
    exit 1
fi
echo "PASS: the runs after the removal read the table"
