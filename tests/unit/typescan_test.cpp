// typescan's command line, conditions, matching and SMBIOS string reading.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "typescan/conditions.h"
#include "typescan/smbios_text.h"

namespace {

TEST(ParseMode, ModesAndMessages)
{
    const struct {
        const char* argument;
        int mode;
        int index;
        const char* messageStart;
    } cases[] = {
        {"/mode=0", 1, 0, ""},
        {"/MODE=0", 1, 0, ""},
        {"/mode=1,3", 11, 3, ""},
        {"/MODE=1,0", 11, 0, ""},
        {"/mode=1,10", 0, 0, "/mode=1,10が不正です。\n/mode=1,?の?は数字1桁で"},
        {"/mode=1,a", 0, 0, "/mode=1,aが不正です。\n/mode=1,?の?は数字で指定"},
        {"/mode=1,", 0, 0, "/mode=1,が不正です。\n/mode=1,?の?を数字で指定"},
        {"/mode=2", 0, 0, "/mode=2が不正です。\n/modeオプションがないか"},
        {"/?", 0, 0, "TYPESCAN [options]"},
    };
    for (const auto& c : cases) {
        const ModeChoice choice = ParseMode(2, c.argument);
        EXPECT_EQ(choice.mode, c.mode) << c.argument;
        EXPECT_EQ(choice.oemIndex, c.index) << c.argument;
        EXPECT_EQ(choice.message.rfind(c.messageStart, 0), 0u) << c.argument;
    }
    EXPECT_EQ(ParseMode(1, nullptr).message, UsageText());
}

struct Parsed {
    int32_t answer;
    ConditionList list;
    std::string message;
};

Parsed Parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), {"typescan", "/mode=0"});
    Parsed parsed;
    parsed.answer = ParseConditions(static_cast<int>(arguments.size()), arguments.data(),
                                    parsed.list, parsed.message);
    return parsed;
}

TEST(ParseConditions, FieldsExclusiveKindsAndMessages)
{
    Parsed p = Parse({"/N=AB,CD"});
    ASSERT_EQ(p.list.size(), 1u);
    EXPECT_EQ(p.list[0].position, 4u);
    EXPECT_EQ(p.list[0].width, 2);
    EXPECT_EQ(p.list[0].count, 2);
    EXPECT_EQ(p.list[0].patterns[1], "CD");
    EXPECT_EQ(p.answer, 1 << 3);

    const struct {
        std::vector<const char*> arguments;
        int32_t answer;
        const char* message;
    } cases[] = {
        {{}, 0, "比較条件オプションを指定してください。\n"},
        {{"/D"}, -1, ""},
        {{"/N=ABC"}, 0, "/N=ABCが不正です。\n比較文字数は2文字です。\n"},
        {{"/N=AB,,CD"}, 0, "/N=AB,,CDが不正です。\n比較文字数は2文字です。\n"},
        {{"/N=AB,"}, 0, "/N=AB,が不正です。\n比較文字数は2文字です。\n"},
        {{"/n=AB"}, 0, "/n=ABが不正です。\n指定されたオプションはありません\n"},
        {{"/N=AB", "/N=CD"}, 0, "/N=CDが不正です。\n２重に指定されています。\n"},
        {{"/N=AB", "/all=x"}, 0, "/ALLと他のオプションは同時に指定できません。\n"},
        {{"/N=AB", "/LIKE=x"}, 0, "/LIKEと他のオプションは同時に指定できません。\n"},
        {{"/d", "/N=AB"}, 0, "/dが不正です。\nオプションと比較文字列は=で区切って入力してください。\n"},
        {{"N=AB"}, 0, "N=ABが不正です。\nオプションの先頭に/を入力してください。\n"},
        {{"/=AB", "/N=AB"}, 0, "/=ABが不正です。/のあとに比較する位置を入力してください。\n"},
        {{"/N="}, 0, "/N=が不正です。\n=のあとに比較文字を入力してください。\n"},
        {{"/ALL="}, 0, "/ALL=が不正です。\n=のあとに比較文字を入力してください。\n"},
        {{"/INC"}, 0, "/INCが不正です。\nオプションと比較文字列は=で区切って入力してください。\n"},
        {{"/all=x"}, static_cast<int32_t>(KIND_ALL), ""},
        {{"/ALLX=abc"}, static_cast<int32_t>(KIND_ALL), ""},
        {{"/LIKE=A=B"}, static_cast<int32_t>(KIND_LIKE), ""},
    };
    for (const auto& c : cases) {
        const Parsed parsed = Parse(c.arguments);
        EXPECT_EQ(parsed.answer, c.answer) << (c.arguments.empty() ? "" : c.arguments[0]);
        if (c.answer == 0)
            EXPECT_EQ(parsed.message, c.message);
    }
    EXPECT_EQ(Parse({"/ALLX=abc"}).list[0].patterns[0], "abc");
    EXPECT_EQ(Parse({"/LIKE=A=B"}).list[0].patterns[0], "A=B");
    EXPECT_EQ(Parse({"/ALL=A,B"}).list[0].patterns[0], "A,B");
}

TEST(ParseConditions, SixtyFourPatternsAtMost)
{
    std::string values = "/CT=A";
    for (int i = 1; i < 64; ++i)
        values += ",A";
    EXPECT_NE(Parse({values.c_str()}).answer, 0);
    values += ",A";
    const Parsed tooMany = Parse({values.c_str()});
    EXPECT_EQ(tooMany.answer, 0);
    EXPECT_EQ(tooMany.message,
              values + "が不正です。\n一項目で同時比較できるパターンは64パターンまでです。\n");
}

int Match(const char* value, std::vector<const char*> arguments)
{
    const Parsed parsed = Parse(arguments);
    EXPECT_NE(parsed.answer, 0) << parsed.message;
    return MatchConditions(value, parsed.list);
}

TEST(MatchConditions, FieldsPrefixAndKinds)
{
    const struct {
        const char* value;
        std::vector<const char*> arguments;
        int match;
    } cases[] = {
        {"PC-AB12CDEFGH", {"/N=AB"}, 1},
        {"PC-AB12CDEFGH", {"/CC=12"}, 1},
        {"PC-AB12CDEFGH", {"/CT=C"}, 1},
        {"PC-AB12CDEFGH", {"/N=XY,AB"}, 1},
        {"AB12CDEFGH", {"/N=AB"}, 1},
        {"PC-AB", {"/CC=12"}, 0},
        {"PC-AB", {"/P15=X"}, 0},
        {"PC-AB12CDEFGH", {"/N=AB", "/CC=99"}, 0},
        {"PC-AB12CDEFGH", {"/INC=PC-AB"}, 1},
        {"PC-AB12CDEFGH", {"/INC=AB12"}, 0},
        {"PC-AB12CDEFGH", {"/ALL=PC-AB12CDEFGH"}, 1},
        {"PC-AB12CDEFGH", {"/ALL=PC-AB12CDEFGH "}, 0},
        {"XPC-AB12", {"/N=XP"}, 1}, // "PC-" later in the value: shifted by 3
    };
    for (const auto& c : cases)
        EXPECT_EQ(Match(c.value, c.arguments), c.match) << c.value << " " << c.arguments[0];
    EXPECT_EQ(MatchConditions("PC-AB", ConditionList{}), 0);
}

TEST(LikeMatches, WithoutBacktracking)
{
    const struct {
        const char* pattern;
        const char* value;
        bool match;
    } cases[] = {
        {"PC-*", "PC-AB12", true},  {"PC-AB??", "PC-AB12", true}, {"PC-AB?", "PC-AB12", false},
        {"*12", "PC-AB12", true},   {"A*C", "ABBC", true},        {"*AC", "ABAC", false},
        {"AB?*", "AB", true},       {"", "", true},               {"", "A", false},
        {"*", "", true},            {"A", "", false},             {"??", "A", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LikeMatches(c.pattern, c.value), c.match) << c.pattern << " ~ " << c.value;
}

// A structure: formatted area, then strings, then the final NUL.
std::vector<uint8_t> Structure(std::vector<uint8_t> formatted, std::vector<std::string> strings)
{
    std::vector<uint8_t> bytes = formatted;
    for (const std::string& s : strings) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    if (strings.empty())
        bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

TEST(SmbiosText, ProductNameAndOemStrings)
{
    std::vector<uint8_t> system = Structure({1, 8, 0, 0, 1, 2, 0, 0}, {"Maker", " PC-AB12 \t", "x"});
    std::string text;
    ASSERT_TRUE(ExtractProductName(system.data(), system.size(), &text));
    EXPECT_EQ(text, "PC-AB12");
    system[5] = 0;
    ASSERT_TRUE(ExtractProductName(system.data(), system.size(), &text));
    EXPECT_EQ(text, "");

    const std::vector<uint8_t> oem = Structure({11, 5, 0, 0, 2}, {"A ", "B"});
    const char* expected[] = {"A ", "B", "", ""};
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(ExtractOemString(oem.data(), oem.size(), n, &text)) << n;
        EXPECT_EQ(text, expected[n]);
    }
}

TEST(SmbiosText, BrokenStructuresFailCleanly)
{
    std::string text;
    std::vector<uint8_t> system = Structure({1, 8, 0, 0, 1, 1, 0, 0}, {"Name"});
    system[1] = 200; // formatted area past the structure
    EXPECT_FALSE(ExtractProductName(system.data(), system.size(), &text));
    system[1] = 8;
    system[5] = 9; // string number past the strings and the structure
    EXPECT_FALSE(ExtractProductName(system.data(), system.size() - 2, &text));
    // A string without its NUL inside the structure.
    const std::vector<uint8_t> cut = {1, 8, 0, 0, 1, 1, 0, 0, 'N', 'a'};
    EXPECT_FALSE(ExtractProductName(cut.data(), cut.size(), &text));
    const std::vector<uint8_t> oemCut = {11, 5, 0, 0, 1, 'A', 'B'};
    EXPECT_FALSE(ExtractOemString(oemCut.data(), oemCut.size(), 0, &text));
    EXPECT_FALSE(ExtractProductName(cut.data(), 5, &text));
}

TEST(SmbiosText, DirectorySizeAnswer)
{
    uint8_t answer[kDirectorySizeBuffer] = {12, 0, 0, 0, 0, 0, 0, 0, 7, 1};
    uint16_t count = 0;
    EXPECT_TRUE(ReadDirectorySize(answer, 12, &count));
    EXPECT_EQ(count, 0x107);
    EXPECT_FALSE(ReadDirectorySize(answer, 16, &count)); // disagrees with its length field
    answer[0] = 16;
    EXPECT_FALSE(ReadDirectorySize(answer, 16, &count)); // longer than the layout
    answer[0] = 0;
    EXPECT_FALSE(ReadDirectorySize(answer, 0, &count));
}

} // namespace
