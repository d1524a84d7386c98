// What the engine settles before its first window.
#include "setup/core/startup.h"

#include <cstdio>
#include <cstring>

#include "common/owners.h"
#include "setup/core/dbcs.h"
#include "setup/core/resume.h"

namespace {

constexpr char MasterInfName[] = "QVSETUP.INF";
constexpr char NoRemovableDrive = 'A';

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
    return FirstDriveOfType(driveList, DRIVE_REMOVABLE, NoRemovableDrive);
}

// BootDir from the registry read into the drive-list buffer, whose first
// byte then names the boot drive; when the value can't be read, the buffer
// still holds the drive list, and its first drive is taken.
char BootDriveLetter(char (&buffer)[DriveListCapacity])
{
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", 0,
                      KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS) {
        char value[DriveListCapacity] = {};
        DWORD size = sizeof value - 1;
        if (RegQueryValueExA(key.get(), "BootDir", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                             &size) == ERROR_SUCCESS)
            memcpy(buffer, value, sizeof value);
    }
    return buffer[0];
}

// The folder part of the command line: the text after the RunOnce entry's
// switch, when it begins with it (`*byRunOnce`).
const char* FolderText(const char* commandLine, bool* byRunOnce)
{
    const size_t length = strlen(ResumeSwitch);
    *byRunOnce = strncmp(commandLine, ResumeSwitch, length) == 0 &&
                 (commandLine[length] == ' ' || commandLine[length] == '\0');
    if (!*byRunOnce)
        return commandLine;
    const char* rest = commandLine + length;
    while (*rest == ' ')
        ++rest;
    return rest;
}

} // namespace

void ReadDriveList(char (&list)[DriveListCapacity])
{
    memset(list, 0, sizeof list);
    const DWORD length = GetLogicalDriveStringsA(sizeof list - 1, list);
    if (length >= sizeof list - 1)
        memset(list, 0, sizeof list);
}

bool LocateMasterInf(const char* commandLine, Media* media)
{
    bool byRunOnce = false;
    const char* text = FolderText(commandLine, &byRunOnce);
    media->sourceDir[0] = '\0';
    media->masterInfPath[0] = '\0';
    char folder[PathCapacity] = {};
    if (text[0] != '\0') {
        // A folder that does not fit leaves both paths empty: the master INF
        // is then reported as unreadable instead of a cut path being read.
        if (strlen(text) >= sizeof folder)
            return byRunOnce;
        strcpy(folder, text);
    } else {
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, sizeof program - 1);
        const char* slash = FindLastBackslash(program);
        const size_t length = slash ? static_cast<size_t>(slash - program) : 0;
        memcpy(folder, program, length);
    }
    const int written = snprintf(media->masterInfPath, sizeof media->masterInfPath, "%s\\%s",
                                 folder, MasterInfName);
    if (written < 0 || written >= static_cast<int>(sizeof media->masterInfPath)) {
        media->masterInfPath[0] = '\0';
        return byRunOnce;
    }
    strcpy(media->sourceDir, folder);
    return byRunOnce;
}

void LoadSettings(Machine* machine, Media* media)
{
    GetWindowsDirectoryA(machine->windowsDir, sizeof machine->windowsDir);
    GetSystemDirectoryA(machine->systemDir, sizeof machine->systemDir);

    char driveList[DriveListCapacity];
    ReadDriveList(driveList);
    machine->cdromLetter = FirstDriveOfType(driveList, DRIVE_CDROM, CdromPlaceholder);
    machine->fdLetter = SourceDriveLetter(driveList);
    machine->windowsLetter = machine->windowsDir[0];
    machine->bootLetter = BootDriveLetter(driveList);
    snprintf(machine->programFilesDir, sizeof machine->programFilesDir, "%c:\\Program Files",
             machine->windowsLetter);

    ReadSetupConfig(media->masterInfPath, &media->config);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version))
        machine->platformId = version.dwPlatformId;
}
