// The master INF's settings, read through one table.
#include "setup/core/setup_config.h"

#include <windows.h>

#include <cstring>

#include "setup/core/inf_line.h"
#include "setup/core/messages.h"

namespace {

constexpr size_t YesNoCapacity = 5;
constexpr size_t BackgroundCapacity = 6;
constexpr size_t StyleCapacity = 12;
constexpr uint32_t DefaultTick = 10;

const ConfigKey ConfigKeyTable[] = {
    {"SETUPNAME", DefaultSetupName, TitleCapacity, ConfigValueKind::Text},
    {"BACKGROUND", "YES", BackgroundCapacity, ConfigValueKind::YesNo},
    {"BACKGROUND_MSG", "", PathCapacity, ConfigValueKind::EscapedText},
    {"BITMAP", "", PathCapacity, ConfigValueKind::Text},
    {"STYLE", "SINGLELIST", StyleCapacity, ConfigValueKind::Style},
    {"SIGNAL", "10", 0, ConfigValueKind::Number},
    {"FOREGROUND", "NO", YesNoCapacity, ConfigValueKind::YesNo},
    {"TITLE", DefaultDialogTitle, TitleCapacity, ConfigValueKind::Text},
    {"DLGMSG", "", PromptCapacity, ConfigValueKind::Text},
    {"CANCEL", "YES", BackgroundCapacity, ConfigValueKind::YesNo},
    {"LOG", "", PathCapacity, ConfigValueKind::Path},
    {"FASTCOPY", "NO", YesNoCapacity, ConfigValueKind::YesNo},
    {"RESUME", "NO", YesNoCapacity, ConfigValueKind::YesNo},
};

// Reads one text key of the table into `value` of the key's capacity.
void ReadKey(const char* path, const char* name, char* value)
{
    const ConfigKey* key = FindConfigKey(name);
    GetPrivateProfileStringA(ConfigSection, key->name, key->fallback, value,
                             static_cast<DWORD>(key->capacity), path);
}

struct StyleEntry {
    const char* name;
    ListStyle style;
};

const StyleEntry Styles[] = {
    {"MULTI", StyleMulti},
    {"SINGLE", StyleSingle},
    {"SINGLELIST", StyleSingleList},
};

// SIGNAL as the profile reader gives it; a negative value ticks as fast as
// the platform allows, as a negative SLEEP sleeps nothing, instead of
// becoming a wait of about 49 days.
uint32_t ReadTick(const char* path)
{
    const auto tick = static_cast<int32_t>(GetPrivateProfileIntA(ConfigSection, "SIGNAL",
                                                                 DefaultTick, path));
    return tick < 0 ? 0 : static_cast<uint32_t>(tick);
}

} // namespace

const ConfigKey* ConfigKeys(size_t* count)
{
    *count = sizeof ConfigKeyTable / sizeof ConfigKeyTable[0];
    return ConfigKeyTable;
}

const ConfigKey* FindConfigKey(const char* name)
{
    for (const ConfigKey& key : ConfigKeyTable) {
        if (EqualsIgnoreCase(key.name, name))
            return &key;
    }
    return nullptr;
}

bool StyleOf(const char* value, ListStyle* style)
{
    for (const StyleEntry& entry : Styles) {
        if (EqualsIgnoreCase(value, entry.name)) {
            *style = entry.style;
            return true;
        }
    }
    *style = StyleSingleList;
    return false;
}

const char* StyleName(ListStyle style)
{
    for (const StyleEntry& entry : Styles) {
        if (entry.style == style)
            return entry.name;
    }
    return "SINGLELIST";
}

bool ProfileIsYes(const char* path, const char* section, const char* key)
{
    char value[YesNoCapacity];
    GetPrivateProfileStringA(section, key, "NO", value, sizeof value, path);
    return EqualsIgnoreCase(value, "YES");
}

LogPathFault ExpandLogPath(const char* value, const MacroValues& macros, char* path,
                           size_t capacity)
{
    const size_t length = strlen(value);
    if (length == 0)
        return LogPathFault::Off;
    if (length + 1 >= sizeof SetupConfig{}.logPath)
        return LogPathFault::TooLongAsWritten;
    TokenizeStop stop = {};
    if (!ExpandWholeText(value, path, capacity, macros, &stop))
        return stop.fault == LineFault::MacroNameTooLong ? LogPathFault::MacroNameTooLong
                                                         : LogPathFault::TooLongExpanded;
    if (strlen(path) >= PathCapacity)
        return LogPathFault::TooLongExpanded;
    return path[strspn(path, " ")] == '\0' ? LogPathFault::NoPath : LogPathFault::None;
}

void ReadSetupConfig(const char* path, SetupConfig* config)
{
    *config = SetupConfig{};
    ReadKey(path, "SETUPNAME", config->setupName);
    ReadKey(path, "BACKGROUND_MSG", config->backgroundMsg);
    UnescapeText(config->backgroundMsg);

    char background[BackgroundCapacity];
    ReadKey(path, "BACKGROUND", background);
    config->showBackground = !EqualsIgnoreCase(background, "NO");

    char style[StyleCapacity];
    ReadKey(path, "STYLE", style);
    StyleOf(style, &config->listStyle);
    config->tickInterval = ReadTick(path);

    ReadKey(path, "BITMAP", config->bitmapPath);
    config->keepOnTop = ProfileIsYes(path, ConfigSection, "FOREGROUND");
    ReadKey(path, "TITLE", config->dialogTitle);
    ReadKey(path, "DLGMSG", config->dialogPrompt);

    char cancel[BackgroundCapacity];
    ReadKey(path, "CANCEL", cancel);
    config->cancelAllowed = !EqualsIgnoreCase(cancel, "NO");
    config->adminRequired = ProfileIsYes(path, "Version", "admini");
    ReadKey(path, "LOG", config->logPath);
    config->fastCopy = ProfileIsYes(path, ConfigSection, "FASTCOPY");
    config->resume = ProfileIsYes(path, ConfigSection, "RESUME");
}
