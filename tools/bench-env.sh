# Sourced by the bench tools: the Wine environment of one build tree's test
# bench. $1 is the bench folder (build-win/bench).
bench_dir=$(cd "$1" && pwd)
export WINEPREFIX="$bench_dir/prefix"
# A 64-bit bench (see cmake/windows.cmake) runs Wine's 64-bit loader: the
# `wine` command, and `wineboot` and its kin through `wine-stable`, would
# pick the 32-bit one whenever it is installed.
export WINEARCH=$(cat "$bench_dir/arch" 2>/dev/null || echo win32)
if [ "$WINEARCH" = win64 ]; then
    mkdir -p "$bench_dir/bin"
    for name in wine wine-stable; do
        rm -f "$bench_dir/bin/$name"
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$bench_dir/bin/$name"
        chmod +x "$bench_dir/bin/$name"
    done
    export PATH="$bench_dir/bin:$PATH" WINELOADER=/usr/lib/wine/wine64
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
if [ -z "${DISPLAY:-}" ] && [ -f "$bench_dir/display" ]; then
    DISPLAY=$(cat "$bench_dir/display")
    export DISPLAY
    bench_display=1
fi
