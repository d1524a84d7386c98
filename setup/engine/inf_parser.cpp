// Reading INF scripts into AppRecord and CommandRecord lists.
#include "setup/engine/inf_parser.h"

#include <cstdio>
#include <cstring>

#include "setup/engine/memory.h"
#include "setup/engine/messages.h"
#include "setup/engine/setup_state.h"
#include "setup/engine/show_error.h"

namespace {

constexpr char kSignature[] = "$QVSETUP$";
constexpr int SignatureCapacity = 11;
constexpr int YesNoCapacity = 5;

// Copies `text` into a field of `capacity` bytes; false when it does not fit.
bool CopyBounded(char* field, size_t capacity, const char* text)
{
    const size_t length = strlen(text);
    if (length >= capacity)
        return false;
    memcpy(field, text, length + 1);
    return true;
}

void FreeCommands(NodeList<CommandRecord>& commands)
{
    while (CommandRecord* cmd = PopFront(commands))
        FreeZeroed(cmd);
}

void FreeChecks(NodeList<CheckCdromEntry>& checks)
{
    while (CheckCdromEntry* entry = PopFront(checks))
        FreeZeroed(entry);
}

// Parses the lines of a section as GetPrivateProfileSectionA returns them:
// NUL-terminated strings ended by an empty one, within `length` bytes.
int ParseSectionLines(HWND owner, AppRecord* app, const char* lines, size_t length)
{
    for (const char* line = lines; line < lines + length && *line; line += strlen(line) + 1) {
        if (line[0] == ';')
            continue;
        CommandRecord* cmd = AllocRecord<CommandRecord>();
        if (!cmd) {
            ShowError(owner, kMsgOutOfMemory);
            return 0;
        }
        cmd->infPath = app->infPath;
        if (!ParseCommand(app, cmd, line)) {
            FreeZeroed(cmd);
            ShowErrorWithDetail(owner, kMsgBadCommand, app->infPath);
            return 0;
        }
        Append(app->commands, cmd);
    }
    return 1;
}

// Reads TITLE and DESCRIPTION; false when the title is missing.
bool ReadStrings(AppRecord* app)
{
    GetPrivateProfileStringA("Strings", "TITLE", "", app->title, sizeof app->title, app->infPath);
    if (app->title[0] == '\0')
        return false;
    GetPrivateProfileStringA("Strings", "DESCRIPTION", "", app->description,
                             sizeof app->description, app->infPath);
    if (app->description[0] == '\0')
        snprintf(app->description, sizeof app->description, kDefaultDescription, app->title);
    UnescapeText(app->description);
    return true;
}

} // namespace

bool ProfileIsYes(const char* path, const char* section, const char* key)
{
    char value[YesNoCapacity];
    GetPrivateProfileStringA(section, key, "NO", value, sizeof value, path);
    return EqualsIgnoreCase(value, "YES");
}

int32_t InfFileSize(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    CloseHandle(file);
    // A size that does not fit in 31 bits (or could not be read) is no INF.
    if (low == INVALID_FILE_SIZE || high != 0 || low > 0x7FFFFF00u)
        return -1;
    return static_cast<int32_t>(low);
}

int FindOrLoadCheck(CommandRecord* cmd, AppRecord* app)
{
    for (CheckCdromEntry* entry = First(app->cdChecks); entry; entry = Next(app->cdChecks)) {
        if (EqualsIgnoreCase(entry->key, cmd->checkKey)) {
            cmd->checkEntry = entry;
            return 1;
        }
    }
    if (cmd->checkKey[0] == '\0')
        return 0;
    CheckCdromEntry* entry = AllocRecord<CheckCdromEntry>();
    if (!entry)
        return 0;
    GetPrivateProfileStringA("CheckCdrom", cmd->checkKey, "", entry->value, sizeof entry->value,
                             cmd->infPath);
    if (entry->value[0] == '\0') {
        FreeZeroed(entry);
        return 0;
    }
    memcpy(entry->key, cmd->checkKey, sizeof entry->key);
    Append(app->cdChecks, entry);
    cmd->checkEntry = entry;
    return 1;
}

int ParseCommand(AppRecord* app, CommandRecord* cmd, const char* line)
{
    char keyword[KeywordCapacity] = {};
    char* const fields[] = {keyword, cmd->param1, cmd->param2, cmd->checkKey};
    const size_t capacities[] = {sizeof keyword, sizeof cmd->param1, sizeof cmd->param2,
                                 sizeof cmd->checkKey};
    uint32_t macroUse = 0;
    if (!TokenizeLine(fields, capacities, 4, &macroUse, line, MacroValuesOf(g_setup)))
        return 0;
    const uint32_t code = LookupKeyword(keyword);
    if (code == 0)
        return 0;
    cmd->flags = code;
    // A message may name a drive letter without asking for the disc.
    if (code == CmdMsgbox)
        macroUse = 0;
    if (macroUse & MacroCdrom) {
        cmd->flags |= CheckCdromFlag;
        if (!FindOrLoadCheck(cmd, app))
            return 0;
    }
    if (macroUse & MacroFd) {
        cmd->flags |= CheckFdFlag;
        if (!FindOrLoadCheck(cmd, app))
            return 0;
    }
    return 1;
}

int LoadCommandSection(HWND owner, AppRecord* app, const char* section)
{
    const int32_t size = InfFileSize(app->infPath);
    if (size == -1) {
        ShowErrorWithDetail(owner, kMsgInfUnreadable, app->infPath);
        return 0;
    }
    // The section is never longer than the file; two more zero bytes keep
    // even a truncated answer terminated.
    const DWORD capacity = static_cast<DWORD>(size) + 2;
    char* lines = static_cast<char*>(AllocZeroed(capacity));
    if (!lines) {
        ShowError(owner, kMsgOutOfMemory);
        return 0;
    }
    const DWORD length = GetPrivateProfileSectionA(section, lines, capacity, app->infPath);
    const int result = ParseSectionLines(owner, app, lines, length);
    FreeZeroed(lines);
    return result;
}

int LoadAppInf(HWND owner, const char* path)
{
    char signature[SignatureCapacity];
    GetPrivateProfileStringA("Version", "signature", "", signature, sizeof signature, path);
    if (!EqualsIgnoreCase(signature, kSignature))
        return 1;
    if (ProfileIsYes(path, "Version", "admini") && !g_setup.isAdmin)
        return 1;

    AppRecord* app = AllocRecord<AppRecord>();
    if (!app) {
        ShowError(owner, kMsgOutOfMemory);
        return 0;
    }
    // A path too long for the record could not be read back: report it as
    // an INF that can't be read rather than parse a cut path.
    if (!CopyBounded(app->infPath, sizeof app->infPath, path)) {
        FreeZeroed(app);
        ShowErrorWithDetail(owner, kMsgInfUnreadable, path);
        return 0;
    }
    if (!ReadStrings(app)) {
        FreeZeroed(app);
        ShowError(owner, kMsgNoTitle);
        return 0;
    }
    if (g_setup.listStyle == StyleMulti && ProfileIsYes(path, "Version", "Default"))
        app->selected = 1;
    Append(g_setup.appList, app);
    return LoadCommandSection(owner, app, "Install");
}

void FreeAppRecordLists(AppRecord* app)
{
    FreeCommands(app->commands);
    FreeChecks(app->cdChecks);
}

void FreeAppList()
{
    while (AppRecord* app = PopFront(g_setup.appList)) {
        FreeAppRecordLists(app);
        FreeZeroed(app);
    }
    // No position survives the records it pointed at.
    g_setup.appList.cursor = nullptr;
}
