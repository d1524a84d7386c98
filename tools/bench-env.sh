# Sourced by the bench tools: the Wine environment of one build tree's test
# bench. $1 is the bench folder (build-win/bench).
bench_dir=$(cd "$1" && pwd)
export WINEPREFIX="$bench_dir/prefix"
export WINEARCH=win32
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
if [ -z "${DISPLAY:-}" ] && [ -f "$bench_dir/display" ]; then
    DISPLAY=$(cat "$bench_dir/display")
    export DISPLAY
    bench_display=1
fi
