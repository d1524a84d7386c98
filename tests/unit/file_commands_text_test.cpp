// The SETATT grammar and the SZDD header.
#include <gtest/gtest.h>

#include "setup/commands/attribute_changes.h"
#include "setup/commands/lz_header.h"

namespace {

TEST(ApplyAttributeChanges, SwitchesLettersAndBlanks)
{
    constexpr uint32_t R = 0x01, H = 0x02, S = 0x04, A = 0x20;
    const struct {
        const char* changes;
        uint32_t before;
        AttributeChange result;
        uint32_t after;
    } cases[] = {
        {"+R", 0, AttributeChange::Applied, R},
        {"-R", R | A, AttributeChange::Applied, A},
        {"+R-H", 0, AttributeChange::Applied, R | H},  // the set switch wins
        {"+R -H", H, AttributeChange::Applied, R},     // a blank resets both
        {"-H+H", H, AttributeChange::Applied, H},
        {"+rhsa", 0, AttributeChange::Applied, R | H | S | A},
        {"", R, AttributeChange::Applied, R},
        {"R", 0, AttributeChange::RefusedSilently, 0},
        {"+R S", 0, AttributeChange::RefusedSilently, R},
        {"H", 0, AttributeChange::Refused, 0},
        {"a", 0, AttributeChange::Refused, 0},
        {"+X", 0, AttributeChange::Refused, 0},
        {"+R\t", 0, AttributeChange::Refused, R},
    };
    for (const auto& c : cases) {
        uint32_t value = c.before;
        EXPECT_EQ(ApplyAttributeChanges(c.changes, &value), c.result) << c.changes;
        EXPECT_EQ(value, c.after) << c.changes;
    }
}

TEST(ReadSzddLength, OnlyAWholeHeaderCounts)
{
    const unsigned char header[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 't',
                                    0x45, 0x36, 0x01, 0x00};
    uint32_t length = 0;
    EXPECT_TRUE(ReadSzddLength(header, sizeof header, &length));
    EXPECT_EQ(length, 0x13645u);
    EXPECT_FALSE(ReadSzddLength(header, sizeof header - 1, &length));
    unsigned char other[sizeof header];
    memcpy(other, header, sizeof header);
    other[4] = 0x89;
    EXPECT_FALSE(ReadSzddLength(other, sizeof other, &length));
}

} // namespace
