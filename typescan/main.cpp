// typescan: reads the machine's model number from SMBIOS and answers by
// exit code whether it matches the conditions of the command line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "typescan/conditions.h"
#include "typescan/device_link.h"
#include "typescan/smbios_reader.h"

namespace {

constexpr char kSmbiosMessage[] =
    "SMBIOSから情報が取得できませんでした。\nTYPESCAN.EXEと同じパスにBIOSPEEK.SYSがあるか確認してください。\n";

int Run(int argc, char** argv, ConditionList& conditions)
{
    const ModeChoice mode = ParseMode(argc, argc > 1 ? argv[1] : "");
    if (mode.mode == 0) {
        printf("%s", mode.message.c_str());
        return 0;
    }
    DeviceDriverLink link;
    SmbiosReader reader(link);
    const bool productName = mode.mode == 1;
    const std::string value = productName ? reader.ReadProductName() : reader.ReadOemString(mode.oemIndex);
    if (value.empty() || reader.LastReadFailed()) {
        printf("%s", kSmbiosMessage);
        return 0;
    }
    std::string message;
    const int32_t parsed = ParseConditions(argc, argv, conditions, message);
    if (parsed == 0) {
        printf("%s", message.c_str());
        return 0;
    }
    if (parsed == -1) {
        printf("%s=%s\n", productName ? "Type1" : "Type11", value.c_str());
        return 1;
    }
    return MatchConditions(value, conditions);
}

} // namespace

int main(int argc, char** argv)
{
    ConditionList conditions;
    const int exitCode = Run(argc, argv, conditions);
    conditions.clear();
    return exitCode;
}
