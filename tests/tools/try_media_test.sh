#!/usr/bin/env bash
# tools/try-media from outside: the sample disc images (disc 2 put in at its
# prompt, every file of the interactive run installed, the pictures taken),
# a medium whose command fails, a medium that branches on typescan under two
# models' SMBIOS tables, and a medium that never ends.
# Usage: try_media_test.sh BUILD_TREE
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$1
export QV_WIN_TREE=$tree
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }
# try-media with the options given; its exit code in $code.
try() {
    "$root/tools/try-media" --out "$work/report" "$@" >"$work/output" 2>&1
    code=$?
}
reported() { grep -qF -- "$1" "$work/report/report.txt"; }

# The sample discs: every file of disc 2's trees and README.TXT lands in Program Files.
try --select ALL "$tree/discs/disc1.iso" "$tree/discs/disc2.iso"
[ $code -eq 0 ] || fail "the sample discs: exit code $code, $(tail -n 1 "$work/output")"
reported "disc 2 put in for the prompt of DISC2" || fail "the sample discs: no disc swap reported"
(cd "$tree/discs/disc2" && find README.TXT DATA TOOLS -type f) | while read -r file; do
    folder=$(dirname "$file")
    [ "$folder" = . ] && folder= || folder="\\${folder//\//\\}"
    grep -qxF "  C:\\Program Files\\QVSAMPLE$folder\\" "$work/report/report.txt" &&
        grep -qE "^      $(basename "$file")  \(" "$work/report/report.txt" || echo "$file"
done >"$work/missing"
[ -s "$work/missing" ] && fail "the sample discs: not reported installed: $(tr '\n' ' ' <"$work/missing")"
for picture in background copy-progress notice; do
    [ -s "$work/report/$picture.png" ] || fail "the sample discs: no picture $picture"
done
grep -q "<img src='notice.png'>" "$work/report/report.html" || fail "the sample discs: report.html shows no notice"

# A medium of our own: the build's programs and the scripts given.
make_medium() {
    rm -rf "$work/medium"
    mkdir "$work/medium"
    cp "$tree/qvsetup.exe" "$work/medium/QVSETUP.EXE"
    cp "$tree/typescan.exe" "$work/medium/TYPESCAN.EXE"
    cp "$tree/Biospeek.sys" "$work/medium/Biospeek.sys"
    printf '[QvSetupConfig]\r\nBACKGROUND=NO\r\n' >"$work/medium/QVSETUP.INF"
    { printf '[Version]\r\nsignature=$QVSETUP$\r\nDefault=YES\r\n[Strings]\r\nTITLE=A\r\n[Install]\r\n'
      printf '%s\r\n' "$@"; } >"$work/medium/QVA.INF"
}

make_medium 'SLEEP,1' 'COPY,R:\NOSUCH.TXT,C:\OUT.TXT'
try "$work/medium"
[ $code -eq 1 ] || fail "a failing command: exit code $code, $(tail -n 1 "$work/output")"
reported "exit code: 3 (a command failed)" || fail "a failing command: the outcome"
reported "at: R:\\QVA.INF: line 8, [Install]: COPY,R:\\NOSUCH.TXT,C:\\OUT.TXT" ||
    fail "a failing command: its file and line"
reported "the box that ended the run: ﾌｧｲﾙの展開に失敗しました. | R:\\NOSUCH.TXT" ||
    fail "a failing command: the box"

# Under the second table the programs are also shown Windows 98: the
# version probe answers platform 1, version 4.10 as its exit code.
make_medium 'PROG,"%WINSYSDIR%\cmd.exe /c R:\MODEL.BAT"' 'PROG,R:\VP.EXE'
cp "$tree/version_probe.exe" "$work/medium/VP.EXE"
printf '@ECHO OFF\r\nR:\\TYPESCAN.EXE /mode=0 /ALL=EQ\r\nIF ERRORLEVEL 1 GOTO EQ\r\nECHO other>C:\\MODEL-OTHER.TXT\r\nGOTO END\r\n:EQ\r\nECHO eq>C:\\MODEL-EQ.TXT\r\n:END\r\n' \
    >"$work/medium/MODEL.BAT"
for table in Beelink-EQ12.dmi:MODEL-EQ.TXT HyperV.dmi:MODEL-OTHER.TXT; do
    windows=()
    [ "${table%%:*}" = HyperV.dmi ] && windows=(--windows 98)
    try --smbios "$root/tests/data/smbios/${table%%:*}" "${windows[@]}" "$work/medium"
    [ $code -eq 0 ] || fail "${table%%:*}: exit code $code, $(tail -n 1 "$work/output")"
    grep -qE "^      ${table#*:}  \(" "$work/report/report.txt" || fail "${table%%:*}: no ${table#*:}"
done
grep -qE 'PROG "R:\\VP.EXE" ""  ->  PROG.s program ended after [0-9]+ ms with exit code 10410$' \
    "$work/report/report.txt" || fail "--windows 98: the programs were not shown Windows 98"

make_medium 'EXIST,C:\NEVER.TXT'
try --timeout 20 "$work/medium"
[ $code -eq 1 ] || fail "a medium that never ends: exit code $code, $(tail -n 1 "$work/output")"
reported "stopped: the run did not end within 20 s" || fail "a medium that never ends: not reported stopped"

try "$work/no-such-medium"
[ $code -eq 2 ] || fail "a medium that is not there: exit code $code, $(tail -n 1 "$work/output")"
[ $failed -eq 0 ] && echo "try-media: every case as expected"
exit $failed
