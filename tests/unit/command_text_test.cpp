// Number fields of command lines, the shutdown flags, and the check-list
// hit test.
#include <gtest/gtest.h>

#include "setup/commands/command_text.h"
#include "setup/ui/check_list_geometry.h"

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
    constexpr uint32_t kShutdown = 1, kReboot = 2, kForce = 4, kPowerOff = 8;
    const struct {
        int32_t mode;
        uint32_t flags;
    } cases[] = {
        {1, kReboot},
        {2, kReboot},
        {7, kReboot},
        {9, kReboot | kForce},
        {0, kShutdown | kPowerOff},
        {8, kShutdown | kPowerOff | kForce},
        {16, kShutdown | kPowerOff},   // higher bits are ignored
        {0x19, kReboot | kForce},
        {-1, kReboot | kForce},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShutdownFlags(c.mode), c.flags) << c.mode;
}

TEST(CheckBoxItemAt, SquareWithoutItsRightAndBottomEdges)
{
    const int h = 16; // squares (3, 3 + 16k) to (13, 13 + 16k)
    const struct {
        int topIndex;
        int x;
        int y;
        int item;
    } cases[] = {
        {0, 3, 3, 0},   {0, 12, 12, 0},  {0, 13, 5, -1}, {0, 5, 13, -1},
        {0, 2, 5, -1},  {0, 5, 2, -1},   {0, 3, 19, 1},  {0, 8, 17, -1},
        {2, 5, 5, 2},   {2, 5, 37, 4},   {2, 5, 53, -1}, // only 5 items
        {0, 20, 5, -1},
    };
    for (const auto& c : cases) {
        CheckBoxRect box = {};
        const int item = CheckBoxItemAt(h, c.topIndex, 5, c.x, c.y, &box);
        EXPECT_EQ(item, c.item) << c.topIndex << " " << c.x << "," << c.y;
        if (item >= 0) {
            EXPECT_EQ(box.left, 3);
            EXPECT_EQ(box.top, 3 + (item - c.topIndex) * h);
        }
    }
    CheckBoxRect box = {};
    EXPECT_EQ(CheckBoxItemAt(6, 0, 5, 3, 3, &box), -1); // rows too low for a square
    EXPECT_EQ(CheckBoxItemAt(0, 0, 5, 3, 3, &box), -1);
}

} // namespace
