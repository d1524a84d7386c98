// The command-line grammar of INF scripts, escapes and the keyword table.
#include <gtest/gtest.h>

#include <string>

#include "setup/core/inf_line.h"

namespace {

const MacroValues Macros = {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\Program Files",
                             'Q', 'C', 'C', 'A'};

struct Fields {
    char keyword[11] = "untouched";
    char param1[260] = "untouched";
    char param2[260] = "untouched";
    char checkKey[32] = "untouched";
    uint32_t macroUse = 0xDEAD;

    int Split(const std::string& line, const MacroValues& macros = Macros)
    {
        char* const fields[] = {keyword, param1, param2, checkKey};
        const size_t capacities[] = {sizeof keyword, sizeof param1, sizeof param2,
                                     sizeof checkKey};
        return TokenizeLine(fields, capacities, 4, &macroUse, line.c_str(), macros);
    }
};

struct LineCase {
    const char* line;
    const char* keyword;
    const char* param1;
    const char* param2;
    const char* checkKey;
    uint32_t macroUse;
};

class TokenizeLineCases : public testing::TestWithParam<LineCase> {};

TEST_P(TokenizeLineCases, SplitsAsWritten)
{
    const LineCase& c = GetParam();
    Fields f;
    ASSERT_EQ(f.Split(c.line), 1) << c.line;
    EXPECT_STREQ(f.keyword, c.keyword);
    EXPECT_STREQ(f.param1, c.param1);
    EXPECT_STREQ(f.param2, c.param2);
    EXPECT_STREQ(f.checkKey, c.checkKey);
    EXPECT_EQ(f.macroUse, c.macroUse);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TokenizeLineCases,
    testing::Values(
        LineCase{"copy,\"C:\\Program Files\\A\\x.dat\",%WINDIR%\\x.dat", "copy",
                 "C:\\Program Files\\A\\x.dat", "C:\\WINDOWS\\x.dat", "untouched", MacroWinDir},
        LineCase{"COPY,C:\\Program Files\\A\\x.dat,D:\\x.dat", "COPY", "C:\\ProgramFiles\\A\\x.dat",
                 "D:\\x.dat", "untouched", 0},
        LineCase{"PROG,%PROGRAMFILES%\\A\\B.EXE", "PROG", "C:\\Program Files\\A\\B.EXE",
                 "untouched", "untouched", MacroProgramFiles},
        LineCase{"MSGBOX,\"Insert the disc, then press OK\"", "MSGBOX",
                 "Insert the disc, then press OK", "untouched", "untouched", 0},
        LineCase{"MSGBOX,Say \\\"hi\\\"", "MSGBOX", "Say\"hi\"", "untouched", "untouched", 0},
        LineCase{"MSGBOX,%ABC%", "MSGBOX", "ABC", "untouched", "untouched", 0},
        LineCase{"MSGBOX,%TITLE%", "MSGBOX", "TITLE", "untouched", "untouched", 0},
        LineCase{"PROG,%WINDIR", "PROG", "", "untouched", "untouched", 0},
        LineCase{"MSGBOX,100%%", "MSGBOX", "100%", "untouched", "untouched", 0},
        LineCase{"%%PROG,x", "PROG", "x", "untouched", "untouched", 0},
        LineCase{"PROG,A,,", "PROG", "A", "", "", 0},
        LineCase{"PROG,%CDROM%:\\SETUP.EXE,,DISC1", "PROG", "Q:\\SETUP.EXE", "", "DISC1",
                 MacroCdrom},
        LineCase{"PROG,%fd%:\\A.EXE %cdrom%:,,K", "PROG", "A:\\A.EXEQ:", "", "K",
                 MacroFd | MacroCdrom},
        LineCase{"X,%WINSYSDIR%;%WINDISK%;%BOOTDISK%", "X", "C:\\WINDOWS\\SYSTEM;C;C", "untouched",
                 "untouched", MacroWinSysDir | MacroWinDisk | MacroBootDisk},
        LineCase{"MSGBOX,\"a\tb\"", "MSGBOX", "a\tb", "untouched", "untouched", 0},
        LineCase{"MSGBOX,%WIN DIR%x", "MSGBOX", "WIN DIRx", "untouched", "untouched", 0},
        // An unclosed quote is no error; the rest of the line is quoted.
        LineCase{"MSGBOX,\"a, b", "MSGBOX", "a, b", "untouched", "untouched", 0}));

TEST(TokenizeLine, ExpansionsAreNotScanned)
{
    const MacroValues macros = {"C:\\A, \"B\"", "S", "P", 'Q', 'C', 'C', 'A'};
    Fields f;
    ASSERT_EQ(f.Split("COPY,%WINDIR%,x", macros), 1);
    EXPECT_STREQ(f.param1, "C:\\A, \"B\"");
    EXPECT_STREQ(f.param2, "x");
}

TEST(TokenizeLine, PlaceholderStandsForUnknownCdrom)
{
    MacroValues macros = Macros;
    macros.cdromLetter = CdromPlaceholder;
    Fields f;
    ASSERT_EQ(f.Split("MSGBOX,\"Put the disc in %CDROM%:\"", macros), 1);
    EXPECT_EQ(std::string(f.param1), std::string("Put the disc in \xFF:"));
    EXPECT_EQ(f.macroUse, MacroCdrom);
}

// A double-byte character whose trail byte is 0x5C ("表" is 95 5C) followed by
// a double quote is read as the escaped quote: the scan works on bytes.
TEST(TokenizeLine, TrailByteBackslashBeforeQuoteIsAnEscape)
{
    Fields f;
    ASSERT_EQ(f.Split("MSGBOX,\"\x95\\\",x\""), 1);
    EXPECT_EQ(std::string(f.param1), std::string("\x95\",x"));
    EXPECT_STREQ(f.param2, "untouched");
}

TEST(TokenizeLine, FieldBoundsCountBytesAfterExpansion)
{
    Fields f;
    EXPECT_EQ(f.Split("PROG," + std::string(259, 'a')), 1);
    EXPECT_EQ(std::string(f.param1), std::string(259, 'a'));
    EXPECT_EQ(f.Split("PROG," + std::string(260, 'a')), 0);
    // C:\WINDOWS is 10 bytes: 249 more make 259, 250 more make 260.
    EXPECT_EQ(f.Split("PROG,%WINDIR%" + std::string(249, 'a')), 1);
    EXPECT_EQ(f.Split("PROG,%WINDIR%" + std::string(250, 'a')), 0);
    EXPECT_EQ(f.Split("ATTENTION1,x"), 1);
    EXPECT_EQ(f.Split("ATTENTION12,x"), 0);
    EXPECT_EQ(f.Split("PROG,,," + std::string(31, 'k')), 1);
    EXPECT_EQ(f.Split("PROG,,," + std::string(32, 'k')), 0);
}

TEST(TokenizeLine, FifthFieldFails)
{
    Fields f;
    EXPECT_EQ(f.Split("PROG,A,B,C,"), 0);
    EXPECT_EQ(f.Split("PROG,A,,,"), 0);
}

TEST(TokenizeLine, MacroNameOverLimitFails)
{
    Fields f;
    EXPECT_EQ(f.Split("PROG,%" + std::string(259, 'n')), 1);
    EXPECT_EQ(f.Split("PROG,%" + std::string(300, 'n') + "%"), 0);
}

TEST(TokenizeLine, LongLineIsRefused)
{
    Fields f;
    EXPECT_EQ(f.Split(std::string(10000, 'x')), 0);
    EXPECT_EQ(f.Split("PROG," + std::string(10000, ',')), 0);
}

TEST(UnescapeText, RewritesTheThreeEscapesOnly)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Line1\\nLine2", "Line1\nLine2"},
        {"C:\\new", "C:\new"},
        {"C:\\\\new", "C:\\new"},
        {"a\\tb", "a\tb"},
        {"A\\N\\T", "A\\N\\T"},
        {"end\\", "end\\"},
        {"\\\\\\n", "\\\n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        char text[64];
        snprintf(text, sizeof text, "%s", c.in);
        UnescapeText(text);
        EXPECT_STREQ(text, c.out) << c.in;
    }
}

TEST(ReplaceChar, ReplacesEveryPlaceholder)
{
    char text[] = "\xFF:\\A;\xFF:\\B";
    ReplaceChar(text, CdromPlaceholder, 'E');
    EXPECT_STREQ(text, "E:\\A;E:\\B");
}

TEST(LookupKeyword, TableIsCaseInsensitive)
{
    EXPECT_EQ(LookupKeyword("prog"), CmdProg);
    EXPECT_EQ(LookupKeyword("XcopyA"), CmdXcopyA);
    EXPECT_EQ(LookupKeyword("DELALL"), CmdDelall);
    EXPECT_EQ(LookupKeyword("ATTENTION"), CmdAttention);
    EXPECT_EQ(LookupKeyword("RUN"), 0u);
    EXPECT_EQ(LookupKeyword(""), 0u);
    EXPECT_EQ(LookupKeyword("PROGX"), 0u);
}

} // namespace

// A whole text (the setup log's path) keeps its blanks and commas; its
// macros expand as in a field; it fails only where it does not fit.
TEST(ExpandWholeText, KeepsBlanksAndCommas)
{
    const struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"%PROGRAMFILES%\\Maker\\QV.LOG", "C:\\Program Files\\Maker\\QV.LOG"},
        {"C:\\log dir\\QV,1.LOG", "C:\\log dir\\QV,1.LOG"},
        {"\"%WINDIR%\\a b\"\\QV.LOG", "C:\\WINDOWS\\a b\\QV.LOG"},
        {"%%", ""},
        {"  ", "  "},
    };
    for (const auto& c : cases) {
        char expanded[260] = "untouched";
        EXPECT_TRUE(ExpandWholeText(c.text, expanded, sizeof expanded, Macros)) << c.text;
        EXPECT_STREQ(expanded, c.expanded) << c.text;
    }
    char small[8];
    EXPECT_FALSE(ExpandWholeText("%WINDIR%", small, sizeof small, Macros));
    EXPECT_FALSE(ExpandWholeText("x", small, 0, Macros));
}
