// The lines of an INF file as the profile reader reads them, and where each
// stands.
#include <gtest/gtest.h>

#include "qvcheck/profile_lines.h"

namespace {

TEST(ProfileFile, LinesStandWhereTheReaderFindsThem)
{
    // Line numbers:          1          2        3               4
    const ProfileFile file("pre=1\r\n[Install]\r\n  PROG, a \r\n;comment\r\n"
                           // 5            6       7            8          9
                           "   ;indented\r\n\r\nCOPY,x,y\r\n[ install ]\r\nLATE=1\r\n"
                           // 10            11          12      13         14
                           "[\x83\x5d]\r\nkey = v \r\n=eq\r\n=again\r\n[Broken\r\n");
    EXPECT_EQ(file.SectionLine("INSTALL", 0)->number, 3);
    EXPECT_EQ(file.SectionLine("install", 0)->text, "PROG, a");
    // Comments are no lines of the section: the next one is COPY.
    EXPECT_EQ(file.SectionLine("Install", 1)->number, 7);
    EXPECT_EQ(file.SectionLine("Install", 2), nullptr);
    // Only the first of two sections of one name counts.
    EXPECT_EQ(file.FindAll("Install").size(), 2u);
    EXPECT_EQ(file.FindAll("Install")[1]->number, 8);
    EXPECT_EQ(file.FindKey("Install", "LATE"), nullptr);
    // A trail byte 5D is no closing bracket; names and values are trimmed;
    // a second line without a name after one is dropped; "[Broken" is a key.
    const ProfileLine* key = file.FindKey("\x83\x5d", "KEY");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->number, 11);
    EXPECT_EQ(key->value, "v");
    EXPECT_EQ(file.SectionLine("\x83\x5d", 1)->text, "=eq");
    EXPECT_EQ(file.SectionLine("\x83\x5d", 2)->text, "[Broken");
    EXPECT_EQ(file.FindKey("", "pre"), nullptr);
}

TEST(ProfileFile, LineEndsAndMarks)
{
    EXPECT_EQ(ProfileFile("[A]\nx=1\n").FindKey("A", "x")->number, 2);
    EXPECT_EQ(ProfileFile("[A]\rx=1\r").FindKey("A", "x")->number, 2);
    EXPECT_TRUE(ProfileFile("\xEF\xBB\xBF[A]\r\n").hasByteOrderMark());
    EXPECT_FALSE(ProfileFile("[A]\r\n").hasByteOrderMark());
    EXPECT_TRUE(ProfileFile("").sections().size() == 1);
}

} // namespace
