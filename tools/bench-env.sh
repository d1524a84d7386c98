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
    # Made once, by a rename: tools that run at the same time never see the
    # command missing, and a link there is replaced, never written through.
    for name in wine wine-stable; do
        [ -x "$bench_dir/bin/$name" ] && [ ! -L "$bench_dir/bin/$name" ] && continue
        shim=$(mktemp "$bench_dir/bin/.$name.XXXXXX")
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim"
        chmod +x "$shim"
        mv -f "$shim" "$bench_dir/bin/$name"
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
