# Media of the tests' own, for the tools that try media, and the start of
# such a test. Sourced after setting $root (the repository); the media need
# $tree (the build tree) and $work (a work folder), which begin_trial_test sets.

# A test of BUILD_TREE: $tree, $work (removed at the end), fail and $failed;
# prepared prefixes are kept with the build tree's bench, in $cache.
begin_trial_test() {
    tree=$1
    export QV_WIN_TREE=$tree
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    failed=0
    cache=$tree/bench/try-media-cache
}
fail() { echo "FAILED: $*"; failed=1; }

# tools/TOOL with the options given, the prepared prefixes of $cache and its
# report in $work/OUT; its output in $work/output, its exit code in $code.
run_trial_tool() {
    local tool=$1 out=$2
    shift 2
    "$root/tools/$tool" --cache "$cache" --out "$work/$out" "$@" >"$work/output" 2>&1
    code=$?
}

# A medium in $work/medium: the build's programs and one application whose
# [Install] holds the lines given.
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

# A medium that installs by model, as typescan answers: on an EQ model
# C:\MODEL-EQ.TXT and the registry value HKLM\Software\QvTry\Model, on any
# other C:\MODEL-OTHER.TXT; then the lines given.
make_branching_medium() {
    make_medium 'PROG,"%WINSYSDIR%\cmd.exe /c R:\MODEL.BAT"' "$@"
    printf '@ECHO OFF\r\nR:\\TYPESCAN.EXE /mode=0 /ALL=EQ\r\nIF ERRORLEVEL 1 GOTO EQ\r\nECHO other>C:\\MODEL-OTHER.TXT\r\nGOTO END\r\n:EQ\r\nECHO eq>C:\\MODEL-EQ.TXT\r\nREG ADD HKLM\\Software\\QvTry /v Model /d eq /f\r\n:END\r\n' \
        >"$work/medium/MODEL.BAT"
}
