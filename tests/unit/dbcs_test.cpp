// The last backslash of a CP932 path, stepping over double-byte characters.
#include <gtest/gtest.h>

#include "setup/core/dbcs.h"

namespace {

TEST(FindLastBackslash, SkipsTrailBytesThatLookLikeBackslashes)
{
    const struct {
        const char* path;
        int position; // -1: none
    } cases[] = {
        {"D:\\INST\\QVSETUP.EXE", 7},
        {"C:\\a\\\x95\\.EXE", 4},        // "表.EXE": 95 5C is one character
        {"C:\\\x83\\\x95\\\\X.EXE", 7}, // "ソ表" then the real separator
        {"QVSETUP.EXE", -1},
        {"\x95", -1},                    // a lead byte cut off at the end
        {"", -1},
    };
    for (const auto& c : cases) {
        const char* found = FindLastBackslash(c.path);
        EXPECT_EQ(found ? static_cast<int>(found - c.path) : -1, c.position) << c.path;
    }
}

} // namespace
