# Media of the tests' own, for the tools that try media. Sourced by a test
# that sets $tree (the build tree) and $work (its work folder).

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
