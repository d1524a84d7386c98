// The SETATT grammar.
#include "setup/commands/attribute_changes.h"

namespace {

// FILE_ATTRIBUTE_READONLY, HIDDEN, SYSTEM and ARCHIVE.
uint32_t AttributeBit(char letter)
{
    switch (letter) {
    case 'R': case 'r': return 0x01;
    case 'H': case 'h': return 0x02;
    case 'S': case 's': return 0x04;
    case 'A': case 'a': return 0x20;
    default: return 0;
    }
}

} // namespace

AttributeChange ApplyAttributeChanges(const char* changes, uint32_t* value)
{
    bool setting = false;
    bool clearing = false;
    for (const char* p = changes; *p; ++p) {
        const uint32_t bit = AttributeBit(*p);
        if (*p == ' ') {
            setting = clearing = false;
        } else if (*p == '+') {
            setting = true;
        } else if (*p == '-') {
            clearing = true;
        } else if (bit == 0) {
            return AttributeChange::Refused;
        } else if (setting) {
            *value |= bit;
        } else if (clearing) {
            *value &= ~bit;
        } else {
            // Without a sign, R and S end the run without a word; H and A say why.
            return (bit == 0x01 || bit == 0x04) ? AttributeChange::RefusedSilently
                                                : AttributeChange::Refused;
        }
    }
    return AttributeChange::Applied;
}
