/* The SMBIOS table behind the Biospeek driver. */
#include "biospeek/table.h"

#include <string.h>

#define END_OF_TABLE 127u
#define MAX_STRUCTURES 0xFFFFu          /* the directory counts in 16 bits */
#define STRUCTURE_HEADER 4u             /* type, length, handle */
#define STRUCTURE_LENGTH_BYTE 1u

/* Entry points: the anchor, then where the table's length and address stand. */
#define SM3_ANCHOR "_SM3_"
#define SM3_TABLE_LENGTH 0x0Cu          /* 4 bytes: maximum table size */
#define SM3_TABLE_ADDRESS 0x10u         /* 8 bytes */
#define SM3_MIN_LENGTH 24u
#define SM3_LENGTH_BYTE 6u
#define SM_ANCHOR "_SM_"
#define SM_LENGTH_BYTE 5u
#define SM_MIN_LENGTH 31u
#define SM_DMI_PART 0x10u               /* the _DMI_ anchor inside the _SM_ entry point */
#define SM_TABLE_LENGTH 0x16u           /* 2 bytes */
#define SM_TABLE_ADDRESS 0x18u          /* 4 bytes */
#define DMI_ANCHOR "_DMI_"
#define DMI_LENGTH 15u
#define DMI_TABLE_LENGTH 6u
#define DMI_TABLE_ADDRESS 8u
#define ENTRY_POINT_MIN_FILE 0x24u      /* a dump file's entry point and then some */
#define ENTRY_POINT_STEP 16u
#define RAW_SMBIOS_HEADER 8u            /* RawSMBIOSData: version bytes, then the length */
#define RAW_SMBIOS_LENGTH 4u

/* Length of the structure at `offset`: formatted area and string area with
   its final double NUL; 0 when it runs past the table. */
static size_t StructureLength(const uint8_t* data, size_t size, size_t offset)
{
    size_t pos;
    if (offset + STRUCTURE_HEADER > size || data[offset + STRUCTURE_LENGTH_BYTE] < STRUCTURE_HEADER ||
        offset + data[offset + STRUCTURE_LENGTH_BYTE] > size)
        return 0;
    pos = offset + data[offset + STRUCTURE_LENGTH_BYTE];
    while (pos + 1 < size) {
        if (data[pos] == 0 && data[pos + 1] == 0)
            return pos + 2 - offset;
        ++pos;
    }
    return 0;
}

/* The offset of structure `index`, or `size` when there is none. */
static size_t StructureOffset(const BiospeekTable* table, uint32_t index)
{
    size_t offset = 0;
    uint32_t i;
    for (i = 0; i < index; ++i)
        offset += StructureLength(table->data, table->size, offset);
    return offset;
}

int BiospeekWalkTable(const uint8_t* data, size_t size, BiospeekTable* table)
{
    size_t offset = 0;
    uint32_t count = 0;
    while (offset < size && count < MAX_STRUCTURES) {
        const size_t length = StructureLength(data, size, offset);
        if (length == 0)
            break;
        ++count;
        if (data[offset] == END_OF_TABLE)
            break;
        offset += length;
    }
    table->data = data;
    table->size = size;
    table->count = count;
    return count > 0;
}

/* Walks the table a dump file's entry point places at `address`, of at
   most `length` bytes and never past the file. */
static int WalkDumpedTable(const uint8_t* bytes, size_t size, uint32_t address, uint32_t length,
                           BiospeekTable* table)
{
    if (address >= size)
        return 0;
    return BiospeekWalkTable(bytes + address, length < size - address ? length : size - address,
                             table);
}

int BiospeekFindTable(const uint8_t* bytes, size_t size, BiospeekTable* table)
{
    if (size >= ENTRY_POINT_MIN_FILE && memcmp(bytes, SM3_ANCHOR, 5) == 0)
        return WalkDumpedTable(bytes, size, GetUi32(bytes + SM3_TABLE_ADDRESS),
                               GetUi32(bytes + SM3_TABLE_LENGTH), table);
    if (size >= ENTRY_POINT_MIN_FILE && memcmp(bytes, SM_ANCHOR, 4) == 0)
        return WalkDumpedTable(bytes, size, GetUi32(bytes + SM_TABLE_ADDRESS),
                               GetUi16(bytes + SM_TABLE_LENGTH), table);
    if (size > RAW_SMBIOS_HEADER && GetUi32(bytes + RAW_SMBIOS_LENGTH) == size - RAW_SMBIOS_HEADER)
        return BiospeekWalkTable(bytes + RAW_SMBIOS_HEADER, size - RAW_SMBIOS_HEADER, table);
    return BiospeekWalkTable(bytes, size, table);
}

static int ChecksumIsZero(const uint8_t* p, size_t length)
{
    uint8_t sum = 0;
    size_t i;
    for (i = 0; i < length; ++i)
        sum = (uint8_t)(sum + p[i]);
    return sum == 0;
}

int BiospeekFindEntryPoint(const uint8_t* area, size_t size, uint64_t* address, uint32_t* length)
{
    size_t at;
    for (at = 0; at + ENTRY_POINT_STEP <= size; at += ENTRY_POINT_STEP) {
        const uint8_t* p = area + at;
        if (at + SM3_MIN_LENGTH <= size && memcmp(p, SM3_ANCHOR, 5) == 0 &&
            p[SM3_LENGTH_BYTE] >= SM3_MIN_LENGTH && at + p[SM3_LENGTH_BYTE] <= size &&
            ChecksumIsZero(p, p[SM3_LENGTH_BYTE])) {
            *length = GetUi32(p + SM3_TABLE_LENGTH);
            *address = (uint64_t)GetUi32(p + SM3_TABLE_ADDRESS) |
                       (uint64_t)GetUi32(p + SM3_TABLE_ADDRESS + 4) << 32;
            return 1;
        }
        if (at + SM_MIN_LENGTH <= size && memcmp(p, SM_ANCHOR, 4) == 0 &&
            p[SM_LENGTH_BYTE] >= SM_MIN_LENGTH && at + p[SM_LENGTH_BYTE] <= size &&
            ChecksumIsZero(p, p[SM_LENGTH_BYTE]) && memcmp(p + SM_DMI_PART, DMI_ANCHOR, 5) == 0) {
            *length = GetUi16(p + SM_TABLE_LENGTH);
            *address = GetUi32(p + SM_TABLE_ADDRESS);
            return 1;
        }
        if (memcmp(p, DMI_ANCHOR, 5) == 0 && ChecksumIsZero(p, DMI_LENGTH)) {
            *length = GetUi16(p + DMI_TABLE_LENGTH);
            *address = GetUi32(p + DMI_TABLE_ADDRESS);
            return 1;
        }
    }
    return 0;
}

static int AnswerDirectorySize(const BiospeekTable* table, uint8_t* out, size_t outputSize,
                               size_t* returned)
{
    if (outputSize < BIOSPEEK_SIZE_ANSWER_LENGTH)
        return 0;
    memset(out, 0, BIOSPEEK_SIZE_ANSWER_LENGTH);
    SetUi32(out, BIOSPEEK_SIZE_ANSWER_LENGTH);
    SetUi16(out + BIOSPEEK_SIZE_ANSWER_COUNT, table->count);
    *returned = BIOSPEEK_SIZE_ANSWER_LENGTH;
    return 1;
}

static int AnswerDirectory(const BiospeekTable* table, uint8_t* out, size_t outputSize,
                           size_t* returned)
{
    const size_t needed = BiospeekDirectorySize(table->count);
    size_t offset = 0;
    uint32_t i;
    if (outputSize < needed)
        return 0;
    SetUi32(out, table->count);
    for (i = 0; i < table->count; ++i) {
        uint8_t* entry = out + BiospeekEntryOffset(i);
        const size_t length = StructureLength(table->data, table->size, offset);
        entry[BIOSPEEK_ENTRY_TYPE] = table->data[offset];
        SetUi24(entry + BIOSPEEK_ENTRY_OFFSET, (uint32_t)offset);
        SetUi16(entry + BIOSPEEK_ENTRY_LENGTH, (uint32_t)length);
        SetUi16(entry + BIOSPEEK_ENTRY_INDEX, i);
        offset += length;
    }
    *returned = needed;
    return 1;
}

static int AnswerStructure(const BiospeekTable* table, const uint8_t* entry, uint8_t* out,
                           size_t outputSize, size_t* returned)
{
    const uint32_t index = GetUi16(entry + BIOSPEEK_ENTRY_INDEX);
    const size_t offset = GetUi24(entry + BIOSPEEK_ENTRY_OFFSET);
    size_t length;
    if (index >= table->count || StructureOffset(table, index) != offset)
        return 0;
    length = StructureLength(table->data, table->size, offset);
    if (length == 0 || outputSize < length + BIOSPEEK_STRUCTURE_HEADER)
        return 0;
    SetUi32(out, (uint32_t)(length + BIOSPEEK_STRUCTURE_HEADER));
    memcpy(out + BIOSPEEK_STRUCTURE_HEADER, table->data + offset, length);
    *returned = length + BIOSPEEK_STRUCTURE_HEADER;
    return 1;
}

int BiospeekAnswer(const BiospeekTable* table, uint32_t k, const void* input, size_t inputSize,
                   void* output, size_t outputSize, size_t* returned)
{
    uint8_t* out = (uint8_t*)output;
    *returned = 0;
    if (!output)
        return 0;
    switch (k) {
    case BIOSPEEK_REQUEST_DIRECTORY_SIZE:
        return AnswerDirectorySize(table, out, outputSize, returned);
    case BIOSPEEK_REQUEST_DIRECTORY:
        return AnswerDirectory(table, out, outputSize, returned);
    case BIOSPEEK_REQUEST_STRUCTURE:
        if (!input || inputSize != BIOSPEEK_ENTRY_SIZE)
            return 0;
        return AnswerStructure(table, (const uint8_t*)input, out, outputSize, returned);
    default:
        return 0;
    }
}
