# Sourced by tests that ask dmidecode: make_dump FILE DUMP writes DUMP, a
# file that dmidecode --from-dump reads, for any SMBIOS table file. Uses
# $work for a scratch file.
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
