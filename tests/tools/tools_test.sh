#!/usr/bin/env bash
# The Linux tools from outside: each checks its arguments and fails with a
# message; tools/qvcheck prints every finding and the summary line whatever
# bytes a finding quotes (an INF saved in another encoding), and ends a
# Wine bench it started itself.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
expect() {
    local what=$1 wanted=$2 got=$3
    if [ "$wanted" != "$got" ]; then
        echo "FAILED: $what: wanted $wanted, got $got"
        failed=1
    fi
}

for tool in lay-out-discs make-disc make-pictures check-imports wine-run to-cp932 try-media try-matrix try-typescan verify-disc; do
    "$root/tools/$tool" >"$work/out" 2>&1
    expect "$tool without arguments ends with its usage" 2 $?
    grep -q usage "$work/out" || { echo "FAILED: $tool printed no usage"; failed=1; }
done
"$root/tools/make-pictures" --bench-running /proc/no-such-folder >/dev/null 2>&1
expect "make-pictures into a folder that can't be made" 1 $?

media="$work/media"
mkdir -p "$media"
: >"$media/QVSETUP.INF"
printf '[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=A\r\n[Install]\r\nX\x80\x88Y,1\r\n' >"$media/QVA.INF"
"$root/tools/qvcheck" "$media" >"$work/report"
expect "tools/qvcheck's exit code for an error" 2 $?
grep -q "^$media/QVA.INF:6:1: error: unknown command" "$work/report" ||
    { echo "FAILED: the finding is not printed"; failed=1; }
grep -q "^$media/QVA.INF:6:1: error: this line holds bytes that are no CP932 text" "$work/report" ||
    { echo "FAILED: the bytes that are no CP932 are not found"; failed=1; }
expect "the summary line" "2 error(s), 0 warning(s)" "$(tail -n 1 "$work/report")"

# tools/qvcheck leaves the bench that runs as it was, and ends one it
# started itself (a tree of its own, whose bench nothing started).
tree=${QV_WIN_TREE:-$root/build-win}
"$root/tools/bench" running "$tree/bench"
expect "the test bench runs after tools/qvcheck" 0 $?
mkdir -p "$work/tree/bench"
ln -s "$tree/qvcheck.exe" "$work/tree/qvcheck.exe"
cp "$tree/bench/arch" "$work/tree/bench/arch" 2>/dev/null
QV_WIN_TREE=$work/tree "$root/tools/qvcheck" "$media" >/dev/null
expect "tools/qvcheck's exit code on a bench of its own" 2 $?
"$root/tools/bench" running "$work/tree/bench"
expect "the bench tools/qvcheck started is ended" 1 $?
[ $failed -eq 0 ] && echo "tools: every check passed"
exit $failed
