// Double-byte awareness for CP932 paths.
#include "setup/core/dbcs.h"

bool IsLeadByte932(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

unsigned CharacterCount(const char* text, unsigned length)
{
    unsigned characters = 0;
    for (unsigned i = 0; i < length; ++i, ++characters) {
        if (IsLeadByte932(static_cast<unsigned char>(text[i])))
            ++i;
    }
    return characters;
}

const char* FindLastBackslash(const char* path)
{
    const char* last = nullptr;
    for (const char* p = path; *p; ++p) {
        if (IsLeadByte932(static_cast<unsigned char>(*p))) {
            if (p[1] == '\0')
                break;
            ++p;
        } else if (*p == '\\') {
            last = p;
        }
    }
    return last;
}
