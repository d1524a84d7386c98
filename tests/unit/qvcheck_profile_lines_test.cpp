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

// CP932 as qvsetup reads it, against UTF-8 from an editor on Linux and
// bytes that are no text: where the file is not CP932, at the line the
// reader numbers.
TEST(ProfileFile, TextThatIsNotCp932)
{
    const auto found = [](const std::string& bytes) {
        const TextEncodingFinding finding = ProfileFile(bytes).foreignText();
        return std::make_pair(finding.fault, finding.line);
    };
    const auto none = std::make_pair(TextEncodingFault::None, 0);
    const auto utf8 = [](int line) { return std::make_pair(TextEncodingFault::LooksUtf8, line); };
    // Kanji with a 5C trail byte, katakana, half-width katakana (also a pair
    // that is UTF-8 of an accented letter), and a JIS level-2 kanji before a
    // full-width blank, which reads as one UTF-8 character by chance.
    EXPECT_EQ(found("[Strings]\r\nTITLE=\x95\x5C\x8E\xA6\x83\x63\x81\x5B\r\nA=\xBE\xAF\xC4\r\nB=\xC3\xBD\r\n"), none);
    EXPECT_EQ(found("[A]\r\nTITLE=\xE4\x95\x81\x40" "DIARY\r\n"), none);
    // UTF-8 text: two kanji; one kana that is no CP932; after a byte order
    // mark; with CR-only and doubled CR line ends; a comment is not read.
    EXPECT_EQ(found("[A]\nTITLE=\xE8\xA1\xA8\xE7\xA4\xBA\n"), utf8(2));
    EXPECT_EQ(found("[A]\n; \xE8\xA1\xA8\nx=\xE3\x81\x82\n"), utf8(3));
    EXPECT_EQ(found("\xEF\xBB\xBF[A]\r\nx=\xE3\x81\x82\r\n"), utf8(2));
    EXPECT_EQ(found("[A]\rx=1\r\xE3\x81\x82\r"), utf8(3));
    EXPECT_EQ(found("[A]\nx=1\r\r\ny=\xE3\x81\x82\xE3\x81\x84\n"), utf8(3));
    EXPECT_EQ(found("[A]\n; \xE8\xA1\xA8\xE7\xA4\xBA\n"), none);
    // Bytes that no CP932 text holds: 80, a lead byte at a line's end.
    EXPECT_EQ(found("[A]\r\nx=\x80\r\n"), std::make_pair(TextEncodingFault::NotCp932, 2));
    EXPECT_EQ(found("[A]\r\nx=\x95\r\ny=\x95\x5C\r\n"), std::make_pair(TextEncodingFault::NotCp932, 2));
    EXPECT_EQ(found(std::string("\xFF\xFE[\0A\0]\0", 8)), none);
}

} // namespace
