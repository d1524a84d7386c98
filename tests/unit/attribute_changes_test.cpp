// The SETATT grammar.
#include <gtest/gtest.h>

#include "setup/core/attribute_changes.h"

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

} // namespace
