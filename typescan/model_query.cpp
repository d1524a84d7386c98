// One question to typescan.
#include "typescan/model_query.h"

#include "typescan/conditions.h"

namespace {

constexpr char SmbiosMessage[] =
    "SMBIOSから情報が取得できませんでした。\nTYPESCAN.EXEと同じパスにBIOSPEEK.SYSがあるか確認してください。\n";

} // namespace

ModelQuery AskModel(int argc, const char* const argv[], SmbiosReader& reader)
{
    const ModeChoice mode = ParseMode(argc, argc > 1 ? argv[1] : "");
    if (mode.mode == ModeNone)
        return ModelQuery{ModelOutcome::WrongUsage, mode.message, std::string()};
    const bool productName = mode.mode == ModeProductName;
    const std::string value = productName ? reader.ReadProductName() : reader.ReadOemString(mode.oemIndex);
    if (value.empty() || reader.LastReadFailed())
        return ModelQuery{ModelOutcome::Unread, SmbiosMessage, std::string()};
    ConditionList conditions;
    std::string message;
    const int32_t parsed = ParseConditions(argc, argv, conditions, message);
    if (parsed == ConditionsRefused)
        return ModelQuery{ModelOutcome::WrongUsage, message, value};
    if (parsed == ConditionsDisplay)
        return ModelQuery{ModelOutcome::Match, (productName ? "Type1=" : "Type11=") + value + "\n", value};
    return ModelQuery{MatchConditions(value, conditions) ? ModelOutcome::Match : ModelOutcome::NoMatch,
                      std::string(), value};
}
