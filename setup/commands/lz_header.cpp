// The header of files compressed for the LZ expansion library (SZDD).
#include "setup/commands/lz_header.h"

#include <cstring>

bool ReadSzddLength(const unsigned char* header, size_t size, uint32_t* length)
{
    static const unsigned char kMagic[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    if (size < kSzddHeaderSize || memcmp(header, kMagic, sizeof kMagic) != 0)
        return false;
    *length = static_cast<uint32_t>(header[10]) | static_cast<uint32_t>(header[11]) << 8 |
              static_cast<uint32_t>(header[12]) << 16 | static_cast<uint32_t>(header[13]) << 24;
    return true;
}
