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

bool EqualsIgnoreCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
            return false;
    }
    return *a == *b;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
