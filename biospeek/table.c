/* The SMBIOS table behind the Biospeek driver. */
#include "biospeek/table.h"

#include <string.h>

#define END_OF_TABLE 127u

static uint32_t ReadLe32(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static void WriteLe32(uint8_t* p, uint32_t value)
{
    p[0] = (uint8_t)value;
    p[1] = (uint8_t)(value >> 8);
    p[2] = (uint8_t)(value >> 16);
    p[3] = (uint8_t)(value >> 24);
}

/* Length of the structure at `offset`: formatted area and string area with
   its final double NUL; 0 when it runs past the table. */
static size_t StructureLength(const uint8_t* data, size_t size, size_t offset)
{
    size_t pos;
    if (offset + 4 > size || data[offset + 1] < 4 || offset + data[offset + 1] > size)
        return 0;
    pos = offset + data[offset + 1];
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
    while (offset < size && count < 0xFFFFu) {
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

int BiospeekFindTable(const uint8_t* bytes, size_t size, BiospeekTable* table)
{
    if (size >= 0x20 + 4 && memcmp(bytes, "_SM3_", 5) == 0) {
        const uint32_t length = ReadLe32(bytes + 0x0C);
        const uint32_t address = ReadLe32(bytes + 0x10);
        if (address < size)
            return BiospeekWalkTable(bytes + address, length < size - address ? length : size - address,
                             table);
        return 0;
    }
    if (size >= 0x20 + 4 && memcmp(bytes, "_SM_", 4) == 0) {
        const uint32_t length = (uint32_t)(bytes[0x16] | bytes[0x17] << 8);
        const uint32_t address = ReadLe32(bytes + 0x18);
        if (address < size)
            return BiospeekWalkTable(bytes + address, length < size - address ? length : size - address,
                             table);
        return 0;
    }
    if (size > 8 && ReadLe32(bytes + 4) == size - 8)
        return BiospeekWalkTable(bytes + 8, size - 8, table);
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
    for (at = 0; at + 16 <= size; at += 16) {
        const uint8_t* p = area + at;
        if (at + 24 <= size && memcmp(p, "_SM3_", 5) == 0 && p[6] >= 24 && at + p[6] <= size &&
            ChecksumIsZero(p, p[6])) {
            *length = ReadLe32(p + 0x0C);
            *address = (uint64_t)ReadLe32(p + 0x10) | (uint64_t)ReadLe32(p + 0x14) << 32;
            return 1;
        }
        if (at + 31 <= size && memcmp(p, "_SM_", 4) == 0 && p[5] >= 31 && at + p[5] <= size &&
            ChecksumIsZero(p, p[5]) && memcmp(p + 0x10, "_DMI_", 5) == 0) {
            *length = (uint32_t)(p[0x16] | p[0x17] << 8);
            *address = ReadLe32(p + 0x18);
            return 1;
        }
        if (memcmp(p, "_DMI_", 5) == 0 && ChecksumIsZero(p, 15)) {
            *length = (uint32_t)(p[6] | p[7] << 8);
            *address = ReadLe32(p + 8);
            return 1;
        }
    }
    return 0;
}

static int AnswerDirectorySize(const BiospeekTable* table, uint8_t* out, size_t outputSize,
                               size_t* returned)
{
    if (outputSize < 12)
        return 0;
    memset(out, 0, 12);
    WriteLe32(out, 12);
    out[8] = (uint8_t)table->count;
    out[9] = (uint8_t)(table->count >> 8);
    *returned = 12;
    return 1;
}

/* Entry: type, structure offset (3 bytes), length (2 bytes), index (2 bytes). */
static int AnswerDirectory(const BiospeekTable* table, uint8_t* out, size_t outputSize,
                           size_t* returned)
{
    const size_t needed = (size_t)table->count * BIOSPEEK_ENTRY_SIZE + 4;
    size_t offset = 0;
    uint32_t i;
    if (outputSize < needed)
        return 0;
    WriteLe32(out, table->count);
    for (i = 0; i < table->count; ++i) {
        uint8_t* entry = out + 4 + (size_t)i * BIOSPEEK_ENTRY_SIZE;
        const size_t length = StructureLength(table->data, table->size, offset);
        entry[0] = table->data[offset];
        entry[1] = (uint8_t)offset;
        entry[2] = (uint8_t)(offset >> 8);
        entry[3] = (uint8_t)(offset >> 16);
        entry[4] = (uint8_t)length;
        entry[5] = (uint8_t)(length >> 8);
        entry[6] = (uint8_t)i;
        entry[7] = (uint8_t)(i >> 8);
        offset += length;
    }
    *returned = needed;
    return 1;
}

static int AnswerStructure(const BiospeekTable* table, const uint8_t* entry, uint8_t* out,
                           size_t outputSize, size_t* returned)
{
    const uint32_t index = (uint32_t)(entry[6] | entry[7] << 8);
    const size_t offset = (size_t)entry[1] | (size_t)entry[2] << 8 | (size_t)entry[3] << 16;
    size_t length;
    if (index >= table->count || StructureOffset(table, index) != offset)
        return 0;
    length = StructureLength(table->data, table->size, offset);
    if (length == 0 || outputSize < length + 4)
        return 0;
    WriteLe32(out, (uint32_t)(length + 4));
    memcpy(out + 4, table->data + offset, length);
    *returned = length + 4;
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
    case BIOSPEEK_DIRECTORY_SIZE:
        return AnswerDirectorySize(table, out, outputSize, returned);
    case BIOSPEEK_DIRECTORY:
        return AnswerDirectory(table, out, outputSize, returned);
    case BIOSPEEK_STRUCTURE:
        if (!input || inputSize != BIOSPEEK_ENTRY_SIZE)
            return 0;
        return AnswerStructure(table, (const uint8_t*)input, out, outputSize, returned);
    default:
        return 0;
    }
}
