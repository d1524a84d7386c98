// Start-up of the setup engine: master INF location, settings, administrator test.
#include "setup/engine/startup.h"

#include <cstdio>
#include <cstring>

#include "setup/engine/dbcs.h"
#include "setup/engine/memory.h"
#include "setup/engine/messages.h"
#include "setup/engine/setup_state.h"

namespace {

constexpr char kConfigSection[] = "QvSetupConfig";
constexpr DWORD kAdministratorsRid = 544; // DOMAIN_ALIAS_RID_ADMINS
constexpr DWORD kTokenAllAccess = 0xF00FF;

void ReadConfig(const char* key, const char* fallback, char* value, DWORD capacity)
{
    GetPrivateProfileStringA(kConfigSection, key, fallback, value, capacity,
                             g_setup.masterInfPath);
}


// Letter of the first drive of `type` in the list, or `fallback`.
char FirstDriveOfType(const char* list, UINT type, char fallback)
{
    for (const char* root = list; *root; root += strlen(root) + 1) {
        if (GetDriveTypeA(root) == type)
            return root[0];
    }
    return fallback;
}

// The program's drive when it is removable or a network drive, otherwise
// the first removable drive, or A.
char SourceDriveLetter(const char* driveList)
{
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program - 1);
    char root[4] = {program[0], program[1], program[2], '\0'};
    const UINT type = GetDriveTypeA(root);
    if (type == DRIVE_REMOVABLE || type == DRIVE_REMOTE)
        return root[0];
    return FirstDriveOfType(driveList, DRIVE_REMOVABLE, 'A');
}

// BootDir from the registry read into the drive-list buffer, whose first
// byte then names the boot drive; when the value can't be read, the buffer
// still holds the drive list, and its first drive is taken.
char BootDriveLetter(char (&buffer)[kDriveListCapacity])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", 0,
                      KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char value[kDriveListCapacity] = {};
        DWORD size = sizeof value - 1;
        if (RegQueryValueExA(key, "BootDir", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                             &size) == ERROR_SUCCESS)
            memcpy(buffer, value, sizeof value);
        RegCloseKey(key);
    }
    return buffer[0];
}

void LoadConfigSettings()
{
    ReadConfig("SETUPNAME", kDefaultSetupName, g_setup.setupName, sizeof g_setup.setupName);
    ReadConfig("BACKGROUND_MSG", "", g_setup.backgroundMsg, sizeof g_setup.backgroundMsg);
    UnescapeText(g_setup.backgroundMsg);

    char background[6];
    ReadConfig("BACKGROUND", "YES", background, sizeof background);
    g_setup.showBackground = EqualsIgnoreCase(background, "NO") ? 0 : 1;

    char style[12];
    ReadConfig("STYLE", "SINGLELIST", style, sizeof style);
    if (EqualsIgnoreCase(style, "SINGLE"))
        g_setup.listStyle = StyleSingle;
    else if (EqualsIgnoreCase(style, "MULTI"))
        g_setup.listStyle = StyleMulti;
    else
        g_setup.listStyle = StyleSingleList;
}

bool SidHasAdministratorsRid(PSID sid)
{
    if (!IsValidSid(sid))
        return false;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    for (UCHAR i = 0; i < count; ++i) {
        if (*GetSidSubAuthority(sid, i) == kAdministratorsRid)
            return true;
    }
    return false;
}

// The token's group list in a zero-filled block that the caller frees, or null.
TOKEN_GROUPS* ReadTokenGroups(HANDLE token)
{
    DWORD size = 12;
    for (;;) {
        void* block = AllocZeroed(size);
        if (!block)
            return nullptr;
        DWORD needed = 0;
        if (GetTokenInformation(token, TokenGroups, block, size, &needed))
            return static_cast<TOKEN_GROUPS*>(block);
        const DWORD error = GetLastError();
        FreeZeroed(block);
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= size)
            return nullptr;
        size = needed;
    }
}

} // namespace

void ReadDriveList(char (&list)[kDriveListCapacity])
{
    memset(list, 0, sizeof list);
    const DWORD length = GetLogicalDriveStringsA(sizeof list - 1, list);
    if (length >= sizeof list - 1)
        memset(list, 0, sizeof list);
}

void LocateMasterInf(const char* commandLine)
{
    g_setup.sourceDir[0] = '\0';
    g_setup.masterInfPath[0] = '\0';
    char folder[PathCapacity] = {};
    if (commandLine[0] != '\0') {
        // A folder that does not fit leaves both paths empty: the master INF
        // is then reported as unreadable instead of a cut path being read.
        if (strlen(commandLine) >= sizeof folder)
            return;
        strcpy(folder, commandLine);
    } else {
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, sizeof program - 1);
        const char* slash = FindLastBackslash(program);
        const size_t length = slash ? static_cast<size_t>(slash - program) : 0;
        memcpy(folder, program, length);
    }
    const int written = snprintf(g_setup.masterInfPath, sizeof g_setup.masterInfPath,
                                 "%s\\QVSETUP.INF", folder);
    if (written < 0 || written >= static_cast<int>(sizeof g_setup.masterInfPath)) {
        g_setup.masterInfPath[0] = '\0';
        return;
    }
    strcpy(g_setup.sourceDir, folder);
}

void LoadSettings()
{
    GetWindowsDirectoryA(g_setup.windowsDir, sizeof g_setup.windowsDir);
    GetSystemDirectoryA(g_setup.systemDir, sizeof g_setup.systemDir);

    char driveList[kDriveListCapacity];
    ReadDriveList(driveList);
    g_setup.cdromLetter = FirstDriveOfType(driveList, DRIVE_CDROM, CdromPlaceholder);
    g_setup.fdLetter = SourceDriveLetter(driveList);
    g_setup.windowsLetter = g_setup.windowsDir[0];
    g_setup.bootLetter = BootDriveLetter(driveList);
    snprintf(g_setup.programFilesDir, sizeof g_setup.programFilesDir, "%c:\\Program Files",
             g_setup.windowsLetter);

    LoadConfigSettings();

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version))
        g_setup.platformId = version.dwPlatformId;

    g_setup.tickInterval = GetPrivateProfileIntA(kConfigSection, "SIGNAL", 10, g_setup.masterInfPath);
}

int IsAdministrator()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), kTokenAllAccess, &token))
        return 0;
    TOKEN_GROUPS* groups = ReadTokenGroups(token);
    CloseHandle(token);
    if (!groups)
        return 0;
    const int result = GroupsIncludeAdministrators(groups);
    FreeZeroed(groups);
    return result;
}

int GroupsIncludeAdministrators(const TOKEN_GROUPS* groups)
{
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        if (SidHasAdministratorsRid(groups->Groups[i].Sid))
            return 1;
    }
    return 0;
}
