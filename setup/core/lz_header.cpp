// The header of files compressed for the LZ expansion library (SZDD).
#include "setup/core/lz_header.h"

#include <cstring>

#include "common/byte_order.h"

namespace {
constexpr size_t LengthField = 10;
}

bool ReadSzddLength(const unsigned char* header, size_t size, uint32_t* length)
{
    static const unsigned char Magic[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    if (size < SzddHeaderSize || memcmp(header, Magic, sizeof Magic) != 0)
        return false;
    *length = GetUi32(header + LengthField);
    return true;
}
