// Where the check list's check squares lie and which one a click hits.
#include <gtest/gtest.h>

#include "setup/ui/check_list_geometry.h"

namespace {

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
