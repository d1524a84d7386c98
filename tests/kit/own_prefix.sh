# Sourced by the shell tests that need a Wine session of their own: the
# bench's environment for the bench folder $1, then a copy of its prefix
# in a work folder ($work), with its own wineserver; both end on exit.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/bench-env.sh" "$1"
work=$(mktemp -d)
end_own_prefix() {
    WINEPREFIX="$work/prefix" timeout 30 wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap end_own_prefix EXIT
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX="$work/prefix"
