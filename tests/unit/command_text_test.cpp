// Number fields of command lines and the shutdown flags.
#include <gtest/gtest.h>

#include "setup/core/command_text.h"

namespace {

TEST(ReadDecimal, ReadsLikePercentD)
{
    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"500", true, 500},       {"  -20x", true, -20},       {"+7", true, 7},
        {"\t3000ms", true, 3000}, {"", false, 0},              {"abc", false, 0},
        {"-", false, 0},          {"99999999999", true, INT32_MAX},
        {"-99999999999", true, INT32_MIN},
    };
    for (const auto& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(ReadDecimal(c.text, &value), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(ShutdownFlags, EveryModeBit)
{
    constexpr uint32_t Shutdown = 1, Reboot = 2, Force = 4, PowerOff = 8;
    const struct {
        int32_t mode;
        uint32_t flags;
    } cases[] = {
        {1, Reboot},
        {2, Reboot},
        {7, Reboot},
        {9, Reboot | Force},
        {0, Shutdown | PowerOff},
        {8, Shutdown | PowerOff | Force},
        {16, Shutdown | PowerOff},   // higher bits are ignored
        {0x19, Reboot | Force},
        {-1, Reboot | Force},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShutdownFlags(c.mode), c.flags) << c.mode;
}

} // namespace
