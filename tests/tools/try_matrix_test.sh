#!/usr/bin/env bash
# tools/try-matrix from outside: a medium that installs by model through
# typescan (it fails on the EQ model and ends with a notice on the others)
# under three models' SMBIOS tables and a file that holds none, on Windows
# 2000 and XP: the EQ model's cells are marked as differing, the JUnit file
# counts the failures, the broken dump's cells fail alone; the sample discs
# on several models, their server tool offered where dmidecode names a
# server and nowhere else; a medium that goes
# on after a restart and fails after it on one model; and wrong usage (a
# Windows version not offered, an answer file qvcheck refuses, an
# unreachable ssh machine) is exit 2.
# Usage: try_matrix_test.sh BUILD_TREE
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/tools/media_kit.sh
source "$root/tests/tools/media_kit.sh"
begin_trial_test "$1"
matrix() { run_trial_tool try-matrix matrix "$@"; }

make_branching_medium 'COPY,C:\MODEL-OTHER.TXT,C:\COPIED.TXT' 'ATTENTION,"Installed.",1000'
tables=$root/tests/data/smbios
printf 'no table here\n' >"$work/broken.dmi"
matrix --smbios "$tables/Beelink-EQ12.dmi" "$tables/HyperV.dmi" "$tables/ASRock-Single-Ryzen.dmi" \
    "$work/broken.dmi" --windows 2000,xp --timeout 120 --junit "$work/junit.xml" "$work/medium"
[ $code -eq 1 ] || fail "the matrix: exit code $code, $(tail -n 3 "$work/output")"
grep -q "^8 cell(s): 4 installed, 2 not, 2 not tried; 2 differ" "$work/matrix/matrix.txt" ||
    fail "the matrix: $(sed -n 2p "$work/matrix/matrix.txt")"
# Each row of the page: the EQ12's cells framed, no other.
grep "^<tr><th>" "$work/matrix/matrix.html" >"$work/rows"
grep -q "^<tr><th>EQ (Beelink-EQ12.dmi).*class='failed marked'.*class='failed marked'" "$work/rows" ||
    fail "the EQ12 row is not marked: $(grep Beelink "$work/rows")"
[ "$(grep -c marked "$work/rows")" -eq 1 ] || fail "a model other than the EQ12 is marked"
grep -qF "here, not in most of its column: file created: C:\\MODEL-EQ.TXT" "$work/matrix/matrix.txt" ||
    fail "the EQ12's own file is not told"
# The report opens with the differences, and each is the medium's own doing
# (what Wine itself changes, as a run of an empty medium shows, frames nothing).
sed -n '/^The differences/,/^$/p' "$work/matrix/matrix.txt" >"$work/differences"
grep -qF "EQ (Beelink-EQ12.dmi): only here: file created: C:\\MODEL-EQ.TXT" "$work/differences" ||
    fail "the differences do not open with the EQ12's file: $(cat "$work/differences")"
grep -E "only here|not here" "$work/differences" | grep -vE 'MODEL-|COPIED|QvTry|command: ' >"$work/foreign" &&
    fail "a difference the medium did not make: $(head -n 3 "$work/foreign")"
grep -q "name(s) that a run of an empty medium on this prefix also changes" "$work"/matrix/cells/1/report/report.txt ||
    fail "a cell is not judged against an empty medium's run: $(grep -A1 '^Left out' "$work"/matrix/cells/1/report/report.txt)"
grep -q "broken.dmi.*not tried: try-media: --smbios: .*broken.dmi holds no SMBIOS table" "$work/matrix/matrix.html" ||
    fail "the broken dump's cell does not say why"
grep -q "<img src='thumbs/" "$work/matrix/matrix.html" || fail "no picture of a cell's last window"
# The page as the README shows it.
mkdir -p "$tree/pictures"
QT_QPA_PLATFORM=offscreen timeout 120 wkhtmltoimage --quiet --enable-local-file-access --width 1200 \
    "$work/matrix/matrix.html" "$tree/pictures/try-matrix-report.png" || fail "no picture of matrix.html"
python3 - "$work/junit.xml" <<'PY' || fail "the JUnit file"
import sys
from xml.etree import ElementTree
root = ElementTree.parse(sys.argv[1]).getroot()
suites = root.findall("testsuite")
required = {"testsuite": ("name", "tests", "failures", "errors", "time", "timestamp", "hostname"),
            "testcase": ("name", "classname", "time")}
for element in suites + root.findall("testsuite/testcase"):
    missing = [a for a in required[element.tag] if element.get(a) is None]
    assert not missing, "%s lacks %s" % (element.tag, missing)
failures = [c for c in root.iter("testcase") if c.find("failure") is not None]
assert len(suites) == 8, len(suites)
# Each EQ12 run fails, and its application; each broken dump's cell is one failure.
assert len(failures) == 6 and root.get("failures") == "6", (len(failures), root.get("failures"))
eq = [c for c in failures if c.get("classname").startswith("EQ (") and c.get("name") == "QVA.INF"]
assert len(eq) == 2 and "C:\\MODEL-OTHER.TXT" in eq[0].find("failure").get("message"), eq
PY

# The sample discs, one disc for a range: their server tool is offered
# exactly on the models whose product name (as dmidecode reads it) is a
# server's (the MODEL asks for the first two bytes), and on no other.
# QV_MODEL_MATRIX=all tries every dump on Windows 2000 and XP; the suite
# three dumps on 2000.
source "$root/tests/typescan/smbios_dump.sh"
dumps=("$tables/Dell-PowerEdge-R630-Dual-Xeon.dmi" "$tables/HyperV.dmi" "$tables/SuperMicro-Quad-Opteron.dmi")
versions=2000
[ "${QV_MODEL_MATRIX:-}" = all ] && dumps=("$tables"/*.dmi "$tables"/*.dat) && versions=2000,xp
matrix --smbios "${dumps[@]}" --windows $versions --select ALL --timeout 180 \
    "$tree/discs/disc1.iso" "$tree/discs/disc2.iso"
[ $code -eq 0 ] || fail "the sample discs' matrix: exit code $code, $(tail -n 3 "$work/output")"
sed -n '/^The applications offered, per model/,/^$/p' "$work/matrix/matrix.txt" >"$work/offers"
for dump in "${dumps[@]}"; do
    make_dump "$dump" "$work/dump.bin"
    product=$(dmidecode --from-dump "$work/dump.bin" -s system-product-name 2>/dev/null)
    grep -F "  $product ($(basename "$dump"))" "$work/offers" >"$work/offer" ||
        fail "the sample discs' matrix: no offer of $product: $(cat "$work/offers")"
    # Each line of the model (one, or one a column where they differ).
    case ${product:0:2} in
    Po | SY | H8) grep -v ": offered: [^;]*QVSERVER.INF" "$work/offer" >"$work/wrong" ;;
    *) grep -v "; not offered: QVSERVER.INF$" "$work/offer" >"$work/wrong" ;;
    esac
    [ -s "$work/wrong" ] && fail "the sample discs' matrix: the server tool on $product: $(cat "$work/wrong")"
done

# A medium that goes on after a restart, and fails after it on the EQ model
# alone: each cell follows its run across the restart to the real end.
make_branching_medium 'SHUTDOWN,,1' 'COPY,C:\MODEL-OTHER.TXT,C:\COPIED.TXT'
printf 'RESUME=YES\r\n' >>"$work/medium/QVSETUP.INF"
matrix --smbios "$tables/Beelink-EQ12.dmi" "$tables/HyperV.dmi" --timeout 120 --junit "$work/junit.xml" \
    "$work/medium"
[ $code -eq 1 ] || fail "restarts in a matrix: exit code $code, $(tail -n 3 "$work/output")"
grep -q "EQ (Beelink-EQ12.dmi).*3 a command failed" "$work/matrix/matrix.txt" &&
    grep -q "exit code 0: done (after 1 restart)" "$work/matrix/matrix.txt" &&
    grep -q "exit code 3: a command failed (after 1 restart)" "$work/matrix/matrix.txt" ||
    fail "restarts in a matrix: $(grep -A1 '^cell' "$work/matrix/matrix.txt")"
python3 - "$work/junit.xml" <<'PY' || fail "restarts in a matrix: the JUnit file"
import sys
from xml.etree import ElementTree
failed = sorted((c.get("classname").split(" ")[0], c.get("name"))
                for c in ElementTree.parse(sys.argv[1]).getroot().iter("testcase") if c.find("failure") is not None)
assert failed == [("EQ", "QVA.INF"), ("EQ", "the run")], failed
PY

# Wrong usage: nothing is tried.
printf 'nosuchhost.invalid\n' >"$work/machines"
printf '[Unatended]\r\nSelect=ALL\r\n' >"$work/bad-answers.ini"
for usage in "--windows 95" "--answers $work/bad-answers.ini" "--sshloginfile $work/machines" \
    "--smbios $work/no-such.dmi"; do
    # shellcheck disable=SC2086 # the words of each usage, as given
    matrix $usage "$work/medium"
    [ $code -eq 2 ] || fail "$usage: exit code $code, $(tail -n 1 "$work/output")"
done

[ $failed -eq 0 ] && echo "try-matrix: every case as expected"
exit $failed
