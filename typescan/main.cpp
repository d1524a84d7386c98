// typescan: reads the machine's model number from SMBIOS and answers by
// exit code whether it matches the conditions of the command line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "typescan/conditions.h"
#include "typescan/device_link.h"
#include "typescan/smbios_reader.h"

namespace {

// The exit codes: a match (or a string printed by /d), and everything else.
constexpr int ExitMatch = 1;
constexpr int ExitNoMatch = 0;

constexpr char SmbiosMessage[] =
    "SMBIOSから情報が取得できませんでした。\nTYPESCAN.EXEと同じパスにBIOSPEEK.SYSがあるか確認してください。\n";

int Run(int argc, char** argv, ConditionList& conditions)
{
    const ModeChoice mode = ParseMode(argc, argc > 1 ? argv[1] : "");
    if (mode.mode == ModeNone) {
        printf("%s", mode.message.c_str());
        return ExitNoMatch;
    }
    DeviceDriverLink link;
    SmbiosReader reader(link);
    const bool productName = mode.mode == ModeProductName;
    const std::string value = productName ? reader.ReadProductName() : reader.ReadOemString(mode.oemIndex);
    if (value.empty() || reader.LastReadFailed()) {
        printf("%s", SmbiosMessage);
        return ExitNoMatch;
    }
    std::string message;
    const int32_t parsed = ParseConditions(argc, argv, conditions, message);
    if (parsed == ConditionsRefused) {
        printf("%s", message.c_str());
        return ExitNoMatch;
    }
    if (parsed == ConditionsDisplay) {
        printf("%s=%s\n", productName ? "Type1" : "Type11", value.c_str());
        return ExitMatch;
    }
    return MatchConditions(value, conditions) ? ExitMatch : ExitNoMatch;
}

} // namespace

int main(int argc, char** argv)
{
    ConditionList conditions;
    const int exitCode = Run(argc, argv, conditions);
    conditions.clear();
    return exitCode;
}
