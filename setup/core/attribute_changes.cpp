// The SETATT grammar.
#include "setup/core/attribute_changes.h"

namespace {

// The values of FILE_ATTRIBUTE_READONLY, HIDDEN, SYSTEM and ARCHIVE.
constexpr uint32_t ReadOnlyBit = 0x01;
constexpr uint32_t HiddenBit = 0x02;
constexpr uint32_t SystemBit = 0x04;
constexpr uint32_t ArchiveBit = 0x20;

uint32_t AttributeBit(char letter)
{
    switch (letter) {
    case 'R': case 'r': return ReadOnlyBit;
    case 'H': case 'h': return HiddenBit;
    case 'S': case 's': return SystemBit;
    case 'A': case 'a': return ArchiveBit;
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
            return (bit == ReadOnlyBit || bit == SystemBit) ? AttributeChange::RefusedSilently
                                                : AttributeChange::Refused;
        }
    }
    return AttributeChange::Applied;
}
