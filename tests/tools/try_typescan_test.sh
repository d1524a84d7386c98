#!/usr/bin/env bash
# tools/try-typescan on the real SMBIOS tables: one row per table whose
# product name is the one dmidecode reads, and whose exit code says whether
# the condition matches that model.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tables="$root/tests/data/smbios"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$root/tests/typescan/smbios_dump.sh"
failed=0

"$root/tools/try-typescan" "/mode=0 /ALL=EQ" "$tables"/*.dmi "$tables"/*.dat >"$work/rows"
[ $? -eq 0 ] || { echo "FAILED: try-typescan ended with an error"; failed=1; }
for file in "$tables"/*.dmi "$tables"/*.dat; do
    name=$(basename "$file")
    make_dump "$file" "$work/dump.bin"
    product=$(dmidecode --from-dump "$work/dump.bin" -s system-product-name 2>/dev/null)
    match=0
    [ "$product" = EQ ] && match=1
    row=$(awk -F'\t' -v name="$name" '$1 == name { print $2 "\t" $4 }' "$work/rows")
    if [ "$row" != "$product"$'\t'"$match" ]; then
        echo "FAILED: $name: wanted '$product' and exit code $match, got '$row'"
        failed=1
    fi
done
"$root/tools/try-typescan" "/mode=0" >/dev/null 2>&1
[ $? -eq 2 ] || { echo "FAILED: try-typescan without a dump is no usage error"; failed=1; }
# A file that is no table is refused before anything runs, not shown as a model without a name.
"$root/tools/try-typescan" "/mode=0 /ALL=EQ" "$tables/SOURCES.md" >"$work/rows" 2>"$work/said"
[ $? -eq 2 ] && grep -q "holds no SMBIOS table" "$work/said" && [ ! -s "$work/rows" ] ||
    { echo "FAILED: try-typescan took a file that is no SMBIOS table"; failed=1; }
[ $failed -eq 0 ] && echo "try-typescan: every row as dmidecode reads the table"
exit $failed
