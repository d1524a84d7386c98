// typescan's command line: the /mode choice, the search conditions, and the
// matching of a model number against them. No platform calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t KIND_ALL = 0x80000000u;
constexpr uint32_t KIND_INC = 0x90000000u;
constexpr uint32_t KIND_LIKE = 0xA0000000u;
constexpr int MaxPatterns = 64;

struct SearchCondition {
    uint32_t position;   // 4 to 30 for a field, or one of the KIND_ values
    int32_t width;       // 1 or 2 for a field
    int32_t count;       // patterns in use
    std::string patterns[MaxPatterns];
};

using ConditionList = std::vector<SearchCondition>;

// Which string /mode asks for: the SMBIOS structure type it is read from,
// or ModeNone with `message` the text to print (the usage text or a mode
// message).
enum ReadMode : int {
    ModeNone = 0,
    ModeProductName = 1,    // type 1
    ModeOemString = 11,     // type 11, string oemIndex
};

struct ModeChoice {
    ReadMode mode;
    int oemIndex;
    std::string message;
};

ModeChoice ParseMode(int argc, const char* argument1);

// ParseConditions' answers besides a KIND_ value and a set of positions.
constexpr int32_t ConditionsRefused = 0;    // `message` says why
constexpr int32_t ConditionsDisplay = -1;   // /d: print the string

// Reads arguments 2 onwards into `list` (emptied first). Answers
// ConditionsRefused with the message in `message`, ConditionsDisplay for
// /d, a KIND_ value for an exclusive condition, or the non-zero set of field
// positions used.
int32_t ParseConditions(int argc, const char* const argv[], ConditionList& list,
                        std::string& message);

// True when every condition holds for `value` (false for no condition).
bool MatchConditions(const std::string& value, const ConditionList& list);

// The /LIKE wildcard test: '*' and '?', byte by byte, without backtracking.
bool LikeMatches(const std::string& pattern, const std::string& value);

// The usage text, printed for no argument and for /?.
const char* UsageText();
