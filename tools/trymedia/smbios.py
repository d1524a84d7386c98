"""SMBIOS dumps as the driver reads them: a dmidecode --dump-bin file (an
_SM_ or _SM3_ entry point at offset 0), a RawSMBIOSData block (an 8-byte
header whose length field is the rest), or else a raw structure table.
Run as a program with a file, it exits 1 when the file holds no table."""

import struct
import sys

END_OF_TABLE = 127
SYSTEM_INFORMATION = 1
ENTRY_POINT_MIN_FILE = 0x24
MOST_STRUCTURES = 4096   # as many as the driver walks at most


def structures(table):
    """The (type, formatted bytes, strings) of each structure the table
    walks to, up to and with the end-of-table one; a structure that runs
    past the table ends the walk."""
    found, offset = [], 0
    while offset + 4 <= len(table) and len(found) < MOST_STRUCTURES:
        kind, length = table[offset], table[offset + 1]
        end = table.find(b"\0\0", offset + length) if length >= 4 and offset + length <= len(table) else -1
        if end < 0:
            break
        strings = [s for s in table[offset + length:end].split(b"\0") if s]
        found.append((kind, table[offset:offset + length], strings))
        if kind == END_OF_TABLE:
            break
        offset = end + 2
    return found


def table_of(data):
    """The structure table inside the bytes of a dump, in whichever of the
    three forms it comes."""
    if len(data) >= ENTRY_POINT_MIN_FILE and data[:5] == b"_SM3_":
        length, address = struct.unpack_from("<IQ", data, 0x0C)
        return data[address:address + length] if address < len(data) else b""
    if len(data) >= ENTRY_POINT_MIN_FILE and data[:4] == b"_SM_":
        length, address = struct.unpack_from("<HI", data, 0x16)
        return data[address:address + length] if address < len(data) else b""
    if len(data) > 8 and struct.unpack_from("<I", data, 4)[0] == len(data) - 8:
        return data[8:]
    return data


def is_table(data):
    """True when the dump holds an SMBIOS table that names a machine: its
    structures walk and one of them is the system information (type 1)."""
    return any(kind == SYSTEM_INFORMATION for kind, _, _ in structures(table_of(data)))


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as dump:
        sys.exit(0 if is_table(dump.read()) else 1)
