#!/usr/bin/env bash
# An independent reader checks ours: for every SMBIOS table the tests use,
# dmidecode --from-dump (Debian's) and typescan.exe with Biospeek.sys under
# Wine must give the same product name and OEM strings.
# Usage: dmidecode_check.sh BENCH_DIR TYPESCAN_EXE BIOSPEEK_SYS TABLE_FOLDER
set -uo pipefail
bench=$1 typescan=$2 driver=$3 tables=$4
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$typescan" "$work/TYPESCAN.EXE"
cp "$driver" "$work/Biospeek.sys"

source "$(dirname "$0")/smbios_dump.sh"

# typescan's answer without the "TypeN=" and the line end.
typescan_says() {
    "$tools/wine-run" "$bench" "$work/TYPESCAN.EXE" "$@" | tr -d '\r' | sed 's/^Type1*=//'
}

failures=0
for file in "$tables"/*.dmi "$tables"/*.dat; do
    name=$(basename "$file")
    make_dump "$file" "$work/dump.bin"
    cp "$file" "$work/Biospeek.dat"
    expected=$(dmidecode --from-dump "$work/dump.bin" -s system-product-name 2>/dev/null)
    actual=$(typescan_says /mode=0 /d)
    if [ "$expected" != "$actual" ]; then
        echo "FAIL $name product: dmidecode '$expected', typescan '$actual'"
        failures=$((failures + 1))
    fi
    n=0
    while IFS= read -r oem; do
        actual=$(typescan_says "/mode=1,$n" /d)
        if [ "$oem" != "$actual" ]; then
            echo "FAIL $name OEM string $n: dmidecode '$oem', typescan '$actual'"
            failures=$((failures + 1))
        fi
        n=$((n + 1))
    done < <(dmidecode --from-dump "$work/dump.bin" -t 11 2>/dev/null |
             sed -n 's/^\tString [0-9]*: //p')
    echo "checked $name: product and $n OEM strings"
done
echo "$failures differences"
[ "$failures" -eq 0 ]
