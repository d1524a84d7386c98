// typescan's command line, conditions and matching.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "typescan/conditions.h"

namespace {

TEST(ParseMode, ModesAndMessages)
{
    const struct {
        const char* argument;
        ReadMode mode;
        int index;
        const char* messageStart;
    } cases[] = {
        {"/mode=0", ModeProductName, 0, ""},
        {"/MODE=0", ModeProductName, 0, ""},
        {"/mode=1,3", ModeOemString, 3, ""},
        {"/MODE=1,0", ModeOemString, 0, ""},
        {"/mode=1,10", ModeNone, 0, "/mode=1,10が不正です。\n/mode=1,?の?は数字1桁で"},
        {"/mode=1,a", ModeNone, 0, "/mode=1,aが不正です。\n/mode=1,?の?は数字で指定"},
        {"/mode=1,", ModeNone, 0, "/mode=1,が不正です。\n/mode=1,?の?を数字で指定"},
        {"/mode=2", ModeNone, 0, "/mode=2が不正です。\n/modeオプションがないか"},
        {"/?", ModeNone, 0, "TYPESCAN [options]"},
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
    return MatchConditions(value, parsed.list) ? 1 : 0;
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
    EXPECT_FALSE(MatchConditions("PC-AB", ConditionList{}));
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

} // namespace
