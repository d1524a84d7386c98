// The DMI reader driver's answers and the strings of SMBIOS structures.
#include "typescan/smbios_text.h"

#include <cstring>

#include "biospeek/protocol.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The string `skip` strings after the one at `start`. A string at or past
// the empty one that ends the area is empty. False when a string runs past
// the structure without its NUL, or the start lies past the structure.
bool StringAt(const uint8_t* structure, size_t size, size_t start, int skip, std::string* text)
{
    size_t pos = start;
    for (int k = 0; k < skip; ++k) {
        if (pos >= size)
            return false;
        if (structure[pos] == 0) {
            text->clear();
            return true;
        }
        const void* nul = memchr(structure + pos, 0, size - pos);
        if (!nul)
            return false;
        pos = static_cast<size_t>(static_cast<const uint8_t*>(nul) - structure) + 1;
    }
    if (pos >= size)
        return false;
    const void* nul = memchr(structure + pos, 0, size - pos);
    if (!nul)
        return false;
    text->assign(reinterpret_cast<const char*>(structure + pos),
                 static_cast<const uint8_t*>(nul) - (structure + pos));
    return true;
}

} // namespace

bool ReadDirectorySize(const uint8_t* answer, uint32_t returned, uint16_t* count)
{
    if (returned != BIOSPEEK_SIZE_ANSWER_LENGTH || GetUi32(answer) != returned)
        return false;
    *count = GetUi16(answer + BIOSPEEK_SIZE_ANSWER_COUNT);
    return true;
}

uint8_t EntryType(const uint8_t* entry)
{
    return entry[BIOSPEEK_ENTRY_TYPE];
}

uint16_t EntryLength(const uint8_t* entry)
{
    return GetUi16(entry + BIOSPEEK_ENTRY_LENGTH);
}

bool ExtractProductName(const uint8_t* structure, size_t size, std::string* name)
{
    constexpr size_t LengthByte = 1;
    constexpr size_t ProductNameByte = 5;
    if (size <= ProductNameByte)
        return false;
    const size_t formatted = structure[LengthByte];
    const int number = structure[ProductNameByte];
    if (number == 0) {
        name->clear();
        return formatted <= size;
    }
    if (formatted <= ProductNameByte || !StringAt(structure, size, formatted, number - 1, name))
        return false;
    size_t begin = 0, end = name->size();
    while (begin < end && IsBlank((*name)[begin]))
        ++begin;
    while (end > begin && IsBlank((*name)[end - 1]))
        --end;
    *name = name->substr(begin, end - begin);
    return true;
}

bool ExtractOemString(const uint8_t* structure, size_t size, int n, std::string* text)
{
    constexpr size_t OemStringsStart = 5;
    if (n < 0)
        return false;
    return StringAt(structure, size, OemStringsStart, n, text);
}
