// typescan: reads the machine's model number from SMBIOS and answers by
// exit code whether it matches the conditions of the command line.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "typescan/conditions.h"
#include "typescan/device_link.h"
#include "typescan/smbios_reader.h"

namespace {

// How a run ends. Batch files know two exit codes: 1 for a match (or a
// string printed by /d) and 0 for everything else. Under FailureCodesSwitch
// a failure has a code of its own, so that a caller never takes a model
// that could not be read, or a command line that is wrong, for "not this
// model".
enum class Outcome { Match, NoMatch, Unread, WrongUsage };

constexpr int ExitMatch = 1;
constexpr int ExitNoMatch = 0;
constexpr int ExitUnread = 2;
constexpr int ExitWrongUsage = 3;

// Taken only as the first argument, before /mode; the usage text does not
// name it, and a command line without it runs as it always did.
constexpr char FailureCodesSwitch[] = "/FAILCODES";

constexpr char SmbiosMessage[] =
    "SMBIOSから情報が取得できませんでした。\nTYPESCAN.EXEと同じパスにBIOSPEEK.SYSがあるか確認してください。\n";

Outcome Run(int argc, const char* const argv[], ConditionList& conditions)
{
    const ModeChoice mode = ParseMode(argc, argc > 1 ? argv[1] : "");
    if (mode.mode == ModeNone) {
        printf("%s", mode.message.c_str());
        return Outcome::WrongUsage;
    }
    DeviceDriverLink link;
    SmbiosReader reader(link);
    const bool productName = mode.mode == ModeProductName;
    const std::string value = productName ? reader.ReadProductName() : reader.ReadOemString(mode.oemIndex);
    if (value.empty() || reader.LastReadFailed()) {
        printf("%s", SmbiosMessage);
        return Outcome::Unread;
    }
    std::string message;
    const int32_t parsed = ParseConditions(argc, argv, conditions, message);
    if (parsed == ConditionsRefused) {
        printf("%s", message.c_str());
        return Outcome::WrongUsage;
    }
    if (parsed == ConditionsDisplay) {
        printf("%s=%s\n", productName ? "Type1" : "Type11", value.c_str());
        return Outcome::Match;
    }
    return MatchConditions(value, conditions) ? Outcome::Match : Outcome::NoMatch;
}

int ExitCodeOf(Outcome outcome, bool failureCodes)
{
    switch (outcome) {
    case Outcome::Match:
        return ExitMatch;
    case Outcome::Unread:
        return failureCodes ? ExitUnread : ExitNoMatch;
    case Outcome::WrongUsage:
        return failureCodes ? ExitWrongUsage : ExitNoMatch;
    case Outcome::NoMatch:
        break;
    }
    return ExitNoMatch;
}

bool IsFailureCodesSwitch(const char* argument)
{
    for (size_t i = 0;; ++i) {
        const char a = argument[i] >= 'a' && argument[i] <= 'z' ? argument[i] - 0x20 : argument[i];
        if (a != FailureCodesSwitch[i])
            return false;
        if (a == '\0')
            return true;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The switch is taken away before the command line is read: the mode
    // is then the first argument again, as the conditions expect.
    std::vector<const char*> arguments(argv, argv + argc);
    const bool failureCodes = argc > 1 && IsFailureCodesSwitch(argv[1]);
    if (failureCodes)
        arguments.erase(arguments.begin() + 1);
    ConditionList conditions;
    const Outcome outcome = Run(static_cast<int>(arguments.size()), arguments.data(), conditions);
    conditions.clear();
    return ExitCodeOf(outcome, failureCodes);
}
