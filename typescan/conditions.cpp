// typescan's command line, conditions and matching.
#include "typescan/conditions.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct FieldOption {
    const char* name;
    uint32_t position;
    int32_t width;
};

// Tried in this order; names are case-sensitive.
const FieldOption Fields[] = {
    {"N", 4, 2},    {"CC", 6, 2},   {"CT", 8, 1},   {"T", 9, 1},    {"M", 10, 1},
    {"SW", 11, 1},  {"HW1", 12, 1}, {"HW2", 13, 1}, {"HDD", 14, 1}, {"G", 15, 1},
    {"P1", 16, 1},  {"P2", 17, 1},  {"P3", 18, 1},  {"P4", 19, 1},  {"P5", 20, 1},
    {"P6", 21, 1},  {"P7", 22, 1},  {"P8", 23, 1},  {"P9", 24, 1},  {"P10", 25, 1},
    {"P11", 26, 1}, {"P12", 27, 1}, {"P13", 28, 1}, {"P14", 29, 1}, {"P15", 30, 1},
};

struct ExclusiveKind {
    const char* prefix;
    uint32_t kind;
    const char* conflict;
};

const ExclusiveKind Exclusive[] = {
    {"/ALL", KIND_ALL, "/ALLと他のオプションは同時に指定できません。\n"},
    {"/INC", KIND_INC, "/INCと他のオプションは同時に指定できません。\n"},
    {"/LIKE", KIND_LIKE, "/LIKEと他のオプションは同時に指定できません。\n"},
};

char Fold(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithIgnoreCase(const std::string& text, const char* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size() || Fold(text[i]) != Fold(prefix[i]))
            return false;
    }
    return true;
}

bool EqualsIgnoreCase(const std::string& text, const char* other)
{
    return StartsWithIgnoreCase(text, other) && text.size() == std::char_traits<char>::length(other);
}

// printf("format", argument[, number]) into a string.
std::string Format(const char* format, const std::string& argument, int number = 0)
{
    const int length = snprintf(nullptr, 0, format, argument.c_str(), number);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    snprintf(&text[0], text.size() + 1, format, argument.c_str(), number);
    return text;
}

const FieldOption* FindField(const std::string& name)
{
    for (const FieldOption& field : Fields) {
        if (name == field.name)
            return &field;
    }
    return nullptr;
}

// An exclusive condition, alone on the command line.
int32_t ParseExclusive(const std::string& argument, uint32_t kind, ConditionList& list,
                       std::string& message)
{
    const size_t equals = argument.find('=');
    const std::string pattern = equals == std::string::npos ? argument : argument.substr(equals + 1);
    if (pattern.empty()) {
        message = Format("%sが不正です。\n=のあとに比較文字を入力してください。\n", argument);
        return ConditionsRefused;
    }
    if (equals == std::string::npos) {
        message = Format("%sが不正です。\nオプションと比較文字列は=で区切って入力してください。\n",
                         argument);
        return ConditionsRefused;
    }
    SearchCondition condition{};
    condition.position = kind;
    condition.count = 1;
    condition.patterns[0] = pattern;
    list.push_back(condition);
    return static_cast<int32_t>(kind);
}

// One field option; false with the message set when it is malformed.
bool ParseField(const std::string& argument, uint32_t& usedPositions, ConditionList& list,
                std::string& message)
{
    for (const ExclusiveKind& exclusive : Exclusive) {
        if (StartsWithIgnoreCase(argument, exclusive.prefix)) {
            message = exclusive.conflict;
            return false;
        }
    }
    if (argument.empty() || argument[0] != '/') {
        message = Format("%sが不正です。\nオプションの先頭に/を入力してください。\n", argument);
        return false;
    }
    const size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        message = Format("%sが不正です。\nオプションと比較文字列は=で区切って入力してください。\n",
                         argument);
        return false;
    }
    if (equals == 1) {
        message = Format("%sが不正です。/のあとに比較する位置を入力してください。\n", argument);
        return false;
    }
    const FieldOption* field = FindField(argument.substr(1, equals - 1));
    if (!field) {
        message = Format("%sが不正です。\n指定されたオプションはありません\n", argument);
        return false;
    }
    const uint32_t bit = 1u << (field->position - 1);
    if (usedPositions & bit) {
        message = Format("%sが不正です。\n２重に指定されています。\n", argument);
        return false;
    }
    usedPositions |= bit;
    const std::string values = argument.substr(equals + 1);
    if (values.empty()) {
        message = Format("%sが不正です。\n=のあとに比較文字を入力してください。\n", argument);
        return false;
    }
    SearchCondition condition{};
    condition.position = field->position;
    condition.width = field->width;
    size_t start = 0;
    for (;;) {
        const size_t comma = values.find(',', start);
        const std::string piece = values.substr(start, comma == std::string::npos ? std::string::npos
                                                                                 : comma - start);
        if (piece.size() != static_cast<size_t>(field->width)) {
            message = Format("%sが不正です。\n比較文字数は%d文字です。\n", argument, field->width);
            return false;
        }
        if (condition.count == MaxPatterns) {
            message = Format("%sが不正です。\n一項目で同時比較できるパターンは%dパターンまでです。\n",
                             argument, MaxPatterns);
            return false;
        }
        condition.patterns[condition.count++] = piece;
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    list.push_back(condition);
    return true;
}

// The subject of a field condition: width bytes at the field's position,
// shifted by the prefix offset and clipped to the value.
std::string FieldSubject(const std::string& value, const SearchCondition& condition, int offset)
{
    long start = static_cast<long>(condition.position) - offset - 1;
    if (start < 0)
        start = 0;
    if (static_cast<size_t>(start) >= value.size())
        return std::string();
    return value.substr(static_cast<size_t>(start), static_cast<size_t>(condition.width));
}

bool ConditionHolds(const std::string& value, const SearchCondition& condition, int offset)
{
    if (condition.position == KIND_LIKE) {
        bool outcome = false;
        for (int k = 0; k < condition.count; ++k)
            outcome = LikeMatches(condition.patterns[k], value);
        return outcome;
    }
    for (int k = 0; k < condition.count; ++k) {
        const std::string& pattern = condition.patterns[k];
        if (condition.position == KIND_INC) {
            if (value.find(pattern) == 0 || value == pattern)
                return true;
        } else if (condition.position == KIND_ALL) {
            if (value == pattern)
                return true;
        } else if (FieldSubject(value, condition, offset) == pattern) {
            return true;
        }
    }
    return false;
}

} // namespace

ModeChoice ParseMode(int argc, const char* argument1)
{
    if (argc < 2 || EqualsIgnoreCase(argument1, "/?"))
        return ModeChoice{ModeNone, 0, UsageText()};
    const std::string argument = argument1;
    if (EqualsIgnoreCase(argument, "/mode=0"))
        return ModeChoice{ModeProductName, 0, std::string()};
    if (!StartsWithIgnoreCase(argument, "/mode=1,"))
        return ModeChoice{ModeNone, 0, Format("%sが不正です。\n/modeオプションがないか書式が不正です。\n", argument)};
    if (argument.size() <= 8)
        return ModeChoice{ModeNone, 0, Format("%sが不正です。\n/mode=1,?の?を数字で指定してください。\n"
                                       "TYPE11の?番目の文字列を取得するのに必要です。",
                                       argument)};
    if (argument.size() > 9)
        return ModeChoice{ModeNone, 0, Format("%sが不正です。\n/mode=1,?の?は数字1桁で指定してください。",
                                       argument)};
    const int index = atoi(argument.c_str() + 8);
    if (argument[8] == '0' || index >= 1)
        return ModeChoice{ModeOemString, index, std::string()};
    return ModeChoice{ModeNone, 0, Format("%sが不正です。\n/mode=1,?の?は数字で指定してください。", argument)};
}

int32_t ParseConditions(int argc, const char* const argv[], ConditionList& list,
                        std::string& message)
{
    list.clear();
    if (argc <= 2) {
        message = "比較条件オプションを指定してください。\n";
        return ConditionsRefused;
    }
    const std::string first = argv[2];
    if (argc == 3 && EqualsIgnoreCase(first, "/d"))
        return ConditionsDisplay;
    if (argc == 3) {
        for (const ExclusiveKind& exclusive : Exclusive) {
            if (StartsWithIgnoreCase(first, exclusive.prefix))
                return ParseExclusive(first, exclusive.kind, list, message);
        }
    }
    uint32_t usedPositions = 0;
    for (int i = 2; i < argc; ++i) {
        if (!ParseField(argv[i], usedPositions, list, message))
            return ConditionsRefused;
    }
    return static_cast<int32_t>(usedPositions);
}

bool MatchConditions(const std::string& value, const ConditionList& list)
{
    // A model number without its "PC-" prefix has its fields 3 bytes earlier.
    const int offset = value.find("PC-") == 0 ? 0 : 3;
    if (list.empty())
        return false;
    for (const SearchCondition& condition : list) {
        if (!ConditionHolds(value, condition, offset))
            return false;
    }
    return true;
}

bool LikeMatches(const std::string& pattern, const std::string& value)
{
    const size_t p = pattern.size();
    const size_t v = value.size();
    size_t i = 0, j = 0;
    bool star = false, endsWithStar = false;
    while (i < p) {
        const char c = pattern[i];
        if (c == '*') {
            star = true;
            if (i == p - 1)
                endsWithStar = true;
            ++i;
        } else if (c == '?') {
            ++i;
            ++j;
        } else {
            if (j >= v)
                return false;
            if (c == value[j]) {
                star = false;
                ++i;
                ++j;
            } else if (star && j != v - 1) {
                ++j;
            } else {
                return false;
            }
        }
    }
    return endsWithStar || j == v;
}

const char* UsageText()
{
    return "TYPESCAN [options] [PRODUCT 検索条件]\n"
           "    - options -\n"
           "    /mode=0 | 1,n\n"
           "          mode=0の場合は、TYPE1のPRODUCTを使用して検索します。\n"
           "          mode=1の場合は、TYPE11のn番目の文字列を使用して検索します。\n"
           "\n"
           "　　　※2Q製品からTYPE11を使用する為、以下の様に記述する。\n"
           "　　 　　/mode=1,0\n"
           "\n"
           "    /d\n"
           "          DMI情報から取得した検索対象の文字列を表示します\n"
           "\n"
           "    - 検索条件 -\n"
           "    /ALL=*             型番すべての文字列　※他の検索条件と併用はできません。\n"
           "    /INC=*             指定した文字列が型番の先頭から含まれているか検索する。\n"
           "                       ※他の検索条件と併用はできません。\n"
           "    /N=XX[,XX,XX...]   愛称\n"
           "    /CC=XX[,XX,XX...]  CPUクロック\n"
           "    /CT=X[,X,X...]     CPUタイプ\n"
           "    /T=X[,X,X...]      形状\n"
           "    /M=X[,X,X...]      モニタタイプ\n"
           "    /SW=X[,X,X...]     SW種別\n"
           "    /HW1=X[,X,X...]    HW種別1\n"
           "    /HW2=X[,X,X...]    HW種別2\n"
           "    /HDD=X[,X,X...]    HDD容量\n"
           "    /G=X[,X,X...]      世代\n"
           "    /Pn=X[,X,X...]     構成型番\n";
}
