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

# dmidecode reads entry-point dumps only: a raw table (or the table of a
# RawSMBIOSData block) gets an _SM3_ entry point and padding before it.
make_dump() {
    local file=$1 dump=$2 table=$work/table.bin
    case $(head -c 4 "$file" | tr -d '\0') in
    _SM_|_SM3) cp "$file" "$dump"; return ;;
    esac
    local size rest length sum body
    size=$(stat -c %s "$file")
    rest=$(od -An -tu4 -j4 -N4 "$file" | tr -d ' ')
    if [ "$rest" = $((size - 8)) ]; then tail -c +9 "$file" >"$table"; else cp "$file" "$table"; fi
    length=$(stat -c %s "$table")
    # After "_SM3_" and the checksum: length 24, version 3.0, revision 1,
    # reserved, the table's size and its address 0x20.
    body=$(printf '\\x18\\x03\\x00\\x00\\x01\\x00\\x%02x\\x%02x\\x%02x\\x%02x\\x20\\x00\\x00\\x00\\x00\\x00\\x00\\x00' \
        $((length & 255)) $((length >> 8 & 255)) $((length >> 16 & 255)) $((length >> 24 & 255)))
    sum=$( (printf '_SM3_'; printf "$body") | od -An -tu1 | tr -s ' ' '\n' | awk '{ s += $1 } END { print s % 256 }')
    { printf '_SM3_'; printf "\\x$(printf %02x $(((256 - sum) % 256)))"; printf "$body"
      head -c 8 /dev/zero; cat "$table"; } >"$dump"
}

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
