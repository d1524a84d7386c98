#!/usr/bin/env bash
# tools/try-media from outside: the sample disc images (disc 2 put in at its
# prompt, every file of the interactive run installed, the pictures taken),
# a medium whose command fails (in a fresh prefix; the others copy a
# prepared one), a medium that goes on after a restart (its command after
# the restart failing, then mended; a program that restarts Windows itself), a medium that branches on typescan under two models' SMBIOS
# tables (files and registry), a medium that never ends, wrong usage that leaves
# the user's folder alone, a medium that reaches for the user's files and
# leaves a program running, and a trial ended by SIGTERM.
# Usage: try_media_test.sh BUILD_TREE
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/tools/media_kit.sh
source "$root/tests/tools/media_kit.sh"
begin_trial_test "$1"
try() { run_trial_tool try-media report "$@"; }
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
# qvsetup starts in the disc's root, as a disc's autorun starts it: the
# sample's BITMAP=LOGO.BMP (with a yellow disc, FFCC00) shows at the
# background's top right, where nothing else is yellow.
convert "$work/report/background.png" -gravity NorthEast -crop 200x120+0+0 +repage -format %c histogram:info:- |
    awk -F'[(),]' '{ if ($2 + 0 > 200 && $3 + 0 > 170 && $4 + 0 < 80) found = 1 } END { exit !found }' ||
    fail "the sample discs: the background shows no logo"

make_medium 'SLEEP,1' 'COPY,R:\NOSUCH.TXT,C:\OUT.TXT'
try --fresh-prefix "$work/medium"
[ $code -eq 1 ] || fail "a failing command: exit code $code, $(tail -n 1 "$work/output")"
reported "exit code: 3 (a command failed)" || fail "a failing command: the outcome"
reported "at: R:\\QVA.INF: line 8, [Install]: COPY,R:\\NOSUCH.TXT,C:\\OUT.TXT" ||
    fail "a failing command: its file and line"
reported "the box that ended the run: ﾌｧｲﾙの展開に失敗しました. | R:\\NOSUCH.TXT" ||
    fail "a failing command: the box"

# RESUME=YES and a SHUTDOWN before the last command: the trial starts
# Windows again and follows the run to its real end, where the command after
# the restart fails; mended, and restarted by Wine itself (--restart), the
# run ends 0 and the report shows the restart, with the picture of the
# screen before it (its start lasts a second and a half, so that the
# watcher's polls surely see its window).
make_medium 'SLEEP,1500' 'SHUTDOWN,,1' 'COPY,R:\NOSUCH.TXT,C:\OUT.TXT'
printf 'RESUME=YES\r\n' >>"$work/medium/QVSETUP.INF"
try --junit "$work/restart.xml" "$work/medium"
[ $code -eq 1 ] || fail "a failure after the restart: exit code $code, $(tail -n 1 "$work/output")"
reported "exit code: 3 (a command failed)" || fail "a failure after the restart: the outcome"
reported "the box that ended the run: ﾌｧｲﾙの展開に失敗しました. | R:\NOSUCH.TXT" ||
    fail "a failure after the restart: the box"
reported 'restart 1: the run stopped for a restart after SHUTDOWN "" "1"' || fail "a failure after the restart: no restart"
python3 - "$work/restart.xml" <<'PY' || fail "a failure after the restart: the JUnit file"
import sys
from xml.etree import ElementTree
cases = {c.get("name"): c for c in ElementTree.parse(sys.argv[1]).getroot().iter("testcase")}
assert sorted(cases) == ["QVA.INF", "the run"], sorted(cases)
assert all(c.find("failure") is not None for c in cases.values()), "a case passes"
PY
# The run's own log (the medium's LOG) and result (the answers' Result, in a
# folder the run makes) are where the run puts them, followed across the
# restart, and kept in the report.
sed -i 's/NOSUCH.TXT/QVA.INF/' "$work/medium/QVA.INF"
printf 'LOG=%%WINDIR%%\\QVRUN.LOG\r\n' >>"$work/medium/QVSETUP.INF"
printf '[Unattended]\r\nSelect=DEFAULT\r\nRestart=YES\r\nResult=C:\\QA\\RESULT.INI\r\n' >"$work/own.ini"
try --answers "$work/own.ini" "$work/medium"
[ $code -eq 0 ] || fail "a run mended after the restart: exit code $code, $(tail -n 1 "$work/output")"
reported "log: C:\windows\QVRUN.LOG, as the medium's LOG=%WINDIR%\QVRUN.LOG" &&
    reported "result: C:\QA\RESULT.INI, as the answers' Result=C:\QA\RESULT.INI" &&
    grep -q "^ExitCode=0" "$work/report/result.ini" && grep -q "qvsetup ends with exit code 0" "$work/report/report.html" ||
    fail "the run's own log and result: $(grep -A3 "own files" "$work/report/report.txt")"
reported 'restart 1: the run stopped for a restart after SHUTDOWN "" "1"; the last window before it: ' ||
    fail "a run mended after the restart: the restart is not reported"
grep -q "the last window before restart 1" "$work/report/report.html" || fail "report.html shows no restart"
# More restarts than --restarts allows: the trial says no, though the run
# would end well.
make_medium 'SHUTDOWN,,1' 'SHUTDOWN,,1' 'SLEEP,1'
printf 'RESUME=YES\r\n' >>"$work/medium/QVSETUP.INF"
try --restarts 1 "$work/medium"
[ $code -eq 1 ] || fail "two restarts with --restarts 1: exit code $code, $(tail -n 1 "$work/output")"
grep -qF "the run restarted more than 1 times (--restarts)" "$work/output" "$work/report/report.txt" ||
    fail "two restarts with --restarts 1: the limit is not reported"
# A program that ends the session when it is done: Wine starts the run
# again at once, and it goes on after the program, which ran once.
make_medium 'PROG,"%WINSYSDIR%\cmd.exe /c ping -n 3 127.0.0.1 >nul & wineboot.exe -e"' 'COPY,R:\QVA.INF,C:\OUT.TXT'
printf 'RESUME=YES\r\n' >>"$work/medium/QVSETUP.INF"
try "$work/medium"
[ $code -eq 0 ] || fail "a program that restarts Windows: exit code $code, $(tail -n 1 "$work/output")"
reported "restart 1: Windows ended the session while the run went on after PROG" ||
    fail "a program that restarts Windows: the restart is not reported"
[ "$(grep -c 'command PROG' "$work/report/setup.log")" -eq 1 ] || fail "a program that restarts Windows ran twice"
reported "COPY \"R:\QVA.INF\" \"C:\OUT.TXT\"  ->  COPY done" || fail "a program that restarts Windows: no next command"

# The notice's picture shows the notice, not a frame not yet painted: after
# a SHELLDDE, with and without the background (the measure of 20 trials
# each is QV_NOTICE_TRIALS=20).
for background in NO YES; do
    make_medium 'SHELLDDE,"[CreateGroup(QvTry)]"' 'ATTENTION,"done.\nclosing in 3 s",3000'
    sed -i "s/^BACKGROUND=NO/BACKGROUND=$background/" "$work/medium/QVSETUP.INF"
    for _ in $(seq "${QV_NOTICE_TRIALS:-1}"); do
        try "$work/medium"
        colours=$(convert "$work/report/notice.png" -format %k info: 2>/dev/null || echo 0)
        [ "${colours:-0}" -gt 1 ] || fail "BACKGROUND=$background: the notice's picture is blank ($colours colour)"
    done
done

# Under the second table the programs are also shown Windows 98: the
# version probe answers platform 1, version 4.10 as its exit code. The
# report warns where the real Windows named lacks what the bench has:
# under 98 the cmd.exe of line 7, under 2000 (a trial's default) the
# C:\windows of line 9.
make_branching_medium 'PROG,R:\VP.EXE' 'DELETE,C:\windows\QVNONE.TXT'
cp "$tree/version_probe.exe" "$work/medium/VP.EXE"
for table in Beelink-EQ12.dmi:MODEL-EQ.TXT HyperV.dmi:MODEL-OTHER.TXT; do
    windows=()
    warning='  QVA.INF line 9: "C:\windows" is not the Windows folder of Windows 2000 (C:\WINNT)'
    if [ "${table%%:*}" = HyperV.dmi ]; then
        windows=(--windows 98)
        warning='  QVA.INF line 7: Windows 98 has no "cmd.exe": its command interpreter is COMMAND.COM'
    fi
    try --smbios "$root/tests/data/smbios/${table%%:*}" "${windows[@]}" "$work/medium"
    [ $code -eq 0 ] || fail "${table%%:*}: exit code $code, $(tail -n 1 "$work/output")"
    grep -qF -- "$warning" "$work/report/report.txt" || fail "${table%%:*}: no warning: $warning"
    [ ${#windows[@]} -gt 0 ] || reported "windows: 2000" || fail "the default Windows is not 2000"
    grep -qE "^      ${table#*:}  \(" "$work/report/report.txt" || fail "${table%%:*}: no ${table#*:}"
    # The registry as the prefix's files hold it: the value only the EQ12 writes.
    if reported 'HKEY_LOCAL_MACHINE\Software\QvTry\Model'; then
        [ "${table#*:}" = MODEL-EQ.TXT ] || fail "${table%%:*}: the other model's registry value"
    else
        [ "${table#*:}" = MODEL-OTHER.TXT ] || fail "${table%%:*}: its registry value not reported"
    fi
done
# (Wine shows a 64-bit program no Windows 98: that build's probe is not asked.)
[ "$(cat "$tree/bench/arch")" = win64 ] ||
    grep -qE 'PROG "R:\\VP.EXE" ""  ->  PROG.s program ended after [0-9]+ ms with exit code 10410$' \
        "$work/report/report.txt" || fail "--windows 98: the programs were not shown Windows 98"

# Attended as a person would: the selection dialog and the box pictured,
# ALL checked, the box answered with its default button, no result file.
# Such a run ends with 0 whatever happens: its log tells whether it
# installed, and a failed command fails the trial.
make_medium 'MSGBOX,"Attended.",""' 'COPY,R:\QVA.INF,C:\ATTENDED.TXT'
printf 'LOG=%%WINDIR%%\\QVATT.LOG\r\n' >>"$work/medium/QVSETUP.INF"
try --attended --select ALL "$work/medium"
[ $code -eq 0 ] || fail "an attended run: exit code $code, $(tail -n 1 "$work/output")"
[ -s "$work/report/selection-dialog.png" ] && [ -s "$work/report/message-box.png" ] &&
    grep -qE "^      ATTENDED.TXT  \(" "$work/report/report.txt" &&
    reported "result: none (a run attended by a person writes no result file)" ||
    fail "an attended run: $(grep -A2 '^Pictures' "$work/report/report.txt")"
sed -i 's/R:\\QVA.INF/R:\\NOSUCH.TXT/' "$work/medium/QVA.INF"
try --attended "$work/medium"
[ $code -eq 1 ] && reported "COPY ended the run: a box told the person why" ||
    fail "an attended run whose COPY fails: exit code $code, $(grep -A1 '^Outcome' "$work/report/report.txt")"
timeout 60 "$root/tools/try-media" --attended --select NONE --out "$work/none" "$work/medium" >"$work/output" 2>&1
[ $? -eq 2 ] && grep -q -- "--attended takes --select DEFAULT or ALL" "$work/output" ||
    fail "--attended with --select NONE: $(tail -n 1 "$work/output")"

make_medium 'EXIST,C:\NEVER.TXT'
try --timeout 20 "$work/medium"
[ $code -eq 1 ] || fail "a medium that never ends: exit code $code, $(tail -n 1 "$work/output")"
reported "stopped: the run did not end within 20 s" || fail "a medium that never ends: not reported stopped"

# Wrong usage and a medium that is not there leave a folder of the user's,
# given as --out, as it was; so does an earlier report the run never got to replace.
mkdir "$work/mine" && echo keep >"$work/mine/notes.txt"
for usage in "--out $work/mine $work/no-such-medium" "--out $work/mine --select A.INF, $work/medium" \
    "--out $work/mine --disc-wait 3601 $work/medium" "--out $work/mine $work/medium" \
    "--out $work/mine --cache /proc/qv-cache $work/medium"; do
    # shellcheck disable=SC2086 # the words of each usage, as given
    "$root/tools/try-media" $usage >"$work/output" 2>&1
    code=$?
    [ $code -eq 2 ] || fail "$usage: exit code $code, $(tail -n 1 "$work/output")"
done
[ "$(cat "$work/mine/notes.txt" 2>/dev/null)" = keep ] || fail "a folder given as --out lost its file"
try "$work/no-such-medium"
[ $code -eq 2 ] || fail "a medium that is not there: exit code $code, $(tail -n 1 "$work/output")"
# A medium that holds its own table beside the driver is that model on
# every PC: no dump stands for another, and the trial is not made.
mkdir -p "$work/medium/TS" && : >"$work/medium/TS/BIOSPEEK.SYS" && printf 'x' >"$work/medium/TS/Biospeek.dat"
"$root/tools/try-media" --smbios "$root/tests/data/smbios/HyperV.dmi" --out "$work/table" "$work/medium" \
    >"$work/output" 2>&1
code=$?
[ $code -eq 2 ] && grep -q "Biospeek.dat stands beside its Biospeek.sys" "$work/output" ||
    fail "a medium with its own table: exit code $code, $(tail -n 1 "$work/output")"
rm -r "$work/medium/TS"
reported "stopped: the run did not end within 20 s" || fail "a medium that is not there: the earlier report is gone"
"$root/tools/try-media" --help >"$work/output" 2>&1
grep -q "DEFAULT, ALL, NONE" "$work/output" || fail "the usage does not offer --select NONE"

# A medium in a folder whose name has no CP932 form, reported to such a
# folder: its program can't write through Z: to the user's files, and a
# program it leaves running (holding what it inherited) does not hold the
# trial up.
medium="$work/médium"
make_medium "PROG,\"%WINSYSDIR%\cmd.exe /c echo x > Z:${work//\//\\}\\canary.txt\"" \
    'EPROG,"%WINSYSDIR%\cmd.exe /c ping -n 600 127.0.0.1"'
mv "$work/medium" "$medium"
start=$(date +%s)
"$root/tools/try-media" --timeout 60 --out "$work/josé" "$medium" >"$work/output" 2>&1
code=$?
elapsed=$(( $(date +%s) - start ))
[ $code -eq 0 ] || fail "a program left running: exit code $code, $(tail -n 1 "$work/output")"
[ $elapsed -lt 120 ] || fail "a program left running: try-media took $elapsed s"
[ -e "$work/canary.txt" ] && fail "a medium's program wrote through Z: to the user's files"
grep -q "ping -n 600" "$work/josé/report.txt" 2>/dev/null || fail "no report in a folder whose name has no CP932 form"

# SIGTERM in the middle of a run from a disc image: no mount, Xvfb or
# wineserver of the trial is left, nor its work folder (Wine's own server
# folder in TMPDIR is Wine's).
make_medium 'EXIST,C:\NEVER.TXT'
"$root/tools/make-disc" "$work/medium" "$work/never.iso" >/dev/null
mkdir "$work/tmp"
TMPDIR="$work/tmp" "$root/tools/try-media" --cache "$cache" --out "$work/report" "$work/never.iso" >"$work/output" 2>&1 &
trial=$!
for _ in $(seq 120); do
    ls "$work"/tmp/try-media.*/bench/prefix/drive_c/QVTRY/SETUP.LOG >/dev/null 2>&1 && break
    sleep 1
done
xvfb=$(cat "$work"/tmp/try-media.*/bench/xvfb.pid 2>/dev/null)
kill -TERM $trial
for _ in $(seq 90); do kill -0 $trial 2>/dev/null || break; sleep 1; done
wait $trial
code=$?
[ $code -eq 2 ] || fail "SIGTERM: exit code $code, $(tail -n 1 "$work/output")"
grep -q "$work/tmp" /proc/mounts && fail "SIGTERM: a mount of the trial is left"
# (An ended Xvfb may wait a moment as a zombie for its adoptive parent.)
[ -n "$xvfb" ] && ps -o stat= -p "$xvfb" | grep -qv '^Z' && fail "SIGTERM: the trial's Xvfb still runs"
grep -lsz "WINEPREFIX=$work/tmp" /proc/[0-9]*/environ >"$work/left" && fail "SIGTERM: Wine processes are left: $(cat "$work/left")"
ls -d "$work"/tmp/try-media.* >/dev/null 2>&1 && fail "SIGTERM: the work folder is left"

[ $failed -eq 0 ] && echo "try-media: every case as expected"
exit $failed
