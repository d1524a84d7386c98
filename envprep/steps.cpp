// The six steps of envprep.
#include "envprep/steps.h"

#include <userenv.h>

#include <cstdio>
#include <cstring>

#include "envprep/envprep_rules.h"

namespace {

constexpr size_t kPathCapacity = MAX_PATH;
constexpr size_t kInstancePathCapacity = 128;

// An HKEY_LOCAL_MACHINE key closed when it goes out of scope.
class RegistryKey {
public:
    RegistryKey(const char* subkey, REGSAM access)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, access, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RegistryKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

    bool ReadDword(const char* name, DWORD* value) const
    {
        DWORD type = 0, size = sizeof *value;
        return RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                   ERROR_SUCCESS && size == sizeof *value;
    }

    bool WriteDword(const char* name, DWORD value) const
    {
        return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof value) == ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
};

// A DWORD value of a key; false when the key or value can't be read.
bool ReadKeyDword(const char* subkey, const char* name, DWORD* value)
{
    RegistryKey key(subkey, KEY_QUERY_VALUE);
    return key.IsOpen() && key.ReadDword(name, value);
}

struct WakeCodes {
    int noDeviceId;
    int noEnumKey;
    int notEnabled;
};

// Sets WaitWakeEnabled on every enumerated instance of the maker's device.
int EnableWake(const char* enumKey, bool (*isMakerDevice)(const char*), const WakeCodes& codes)
{
    DWORD acpiStart = 0;
    if (!ReadKeyDword("SYSTEM\\CurrentControlSet\\Services\\ACPI", "Start", &acpiStart) ||
        acpiStart == 4)
        return 0;
    RegistryKey devices(enumKey, KEY_QUERY_VALUE);
    DWORD count = 0;
    if (!devices.IsOpen() || !devices.ReadDword("Count", &count) || count == 0)
        return 0;
    int code = 0;
    for (DWORD i = 0; i < count; ++i) {
        char name[16];
        snprintf(name, sizeof name, "%lu", static_cast<unsigned long>(i));
        // A path that does not fit its buffer counts as a failed read.
        char instancePath[kInstancePathCapacity] = {};
        DWORD type = 0, size = sizeof instancePath - 1;
        if (RegQueryValueExA(devices.get(), name, nullptr, &type,
                             reinterpret_cast<BYTE*>(instancePath), &size) != ERROR_SUCCESS) {
            code = codes.noDeviceId;
            continue;
        }
        if (!isMakerDevice(instancePath))
            continue;
        char subkey[kPathCapacity + 64];
        const int length = snprintf(subkey, sizeof subkey,
                                    "SYSTEM\\CurrentControlSet\\Enum\\%s\\Device Parameters",
                                    instancePath);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof subkey) {
            code = codes.noEnumKey;
            continue;
        }
        RegistryKey parameters(subkey, KEY_SET_VALUE);
        if (!parameters.IsOpen())
            code = codes.noEnumKey;
        else if (!parameters.WriteDword("WaitWakeEnabled", 1))
            code = codes.notEnabled;
    }
    return code;
}

// folder + "\" + name into `path`; false when it would pass the path limit.
bool JoinPath(char (&path)[kPathCapacity], const char* folder, const char* name)
{
    const int written = snprintf(path, sizeof path, "%s\\%s", folder, name);
    return written > 0 && static_cast<size_t>(written) < sizeof path;
}

// Deletes the first file that folder + pattern finds; true when it went.
bool DeleteOneMatch(const char* folder, const char* pattern)
{
    char search[kPathCapacity];
    const int written = snprintf(search, sizeof search, "%s%s", folder, pattern);
    if (written <= 0 || static_cast<size_t>(written) >= sizeof search)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE match = FindFirstFileA(search, &found);
    if (match == INVALID_HANDLE_VALUE)
        return false;
    FindClose(match);
    char file[kPathCapacity];
    return JoinPath(file, folder, found.cFileName) && DeleteFileA(file);
}

void DeleteShortcutsIn(const char* profiles, int* code)
{
    DeleteMatchingInTree(profiles, "\\Service Pack ?のｲﾝｽﾄｰﾙ.lnk", true);
    *code = DeleteMatchingInTree(profiles, "\\Service Pack ?について.lnk", true);
}

} // namespace

int DisableKeyboardPort()
{
    DWORD count = 0;
    if (!ReadKeyDword("SYSTEM\\CurrentControlSet\\Services\\kbdhid\\Enum", "Count", &count) ||
        count == 0)
        return 0;
    RegistryKey port("SYSTEM\\CurrentControlSet\\Services\\i8042prt", KEY_SET_VALUE);
    if (!port.IsOpen())
        return 3;
    return port.WriteDword("Start", 4) ? 0 : 4;
}

int EnableUsbKeyboardWake()
{
    return EnableWake("SYSTEM\\CurrentControlSet\\Services\\kbdhid\\Enum", IsMakerKeyboard,
                      WakeCodes{5, 6, 7});
}

int EnableUsbMouseWake()
{
    return EnableWake("SYSTEM\\CurrentControlSet\\Services\\mouhid\\Enum", IsMakerMouse,
                      WakeCodes{8, 9, 10});
}

int EnableApm()
{
    constexpr char kDevice[] = "SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NTAPM\\0000";
    if (!RegistryKey("SYSTEM\\CurrentControlSet\\Services\\NtAPM", KEY_QUERY_VALUE).IsOpen())
        return 0;
    GrantKeyAccess(kDevice);
    RegistryKey device(kDevice, KEY_ALL_ACCESS);
    if (!device.IsOpen())
        return 11;
    DWORD flags = 0;
    if (!device.ReadDword("ConfigFlags", &flags) || flags == 1)
        return device.WriteDword("ConfigFlags", 0) ? 0 : 12;
    return 0;
}

LONG GrantKeyAccess(const char* subkey)
{
    HKEY key;
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, WRITE_DAC, &key);
    if (opened != ERROR_SUCCESS)
        return opened;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID interactive = nullptr, administrators = nullptr;
    PACL acl = nullptr;
    LONG result = 0;
    SECURITY_DESCRIPTOR descriptor;
    if (!AllocateAndInitializeSid(&nt, 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &interactive)) {
        result = 17;
    } else if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                         &administrators)) {
        result = 18;
    } else {
        const DWORD aclSize = GetLengthSid(administrators) + GetLengthSid(interactive) + 24;
        acl = static_cast<PACL>(HeapAlloc(GetProcessHeap(), 0, aclSize));
        if (!acl)
            result = 19;
        else if (!InitializeAcl(acl, aclSize, ACL_REVISION))
            result = 20;
        else if (!AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, interactive))
            result = 21;
        else if (!AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, administrators))
            result = 22;
        else if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION))
            result = 23;
        else if (!SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
            result = 24;
        else
            result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    }
    if (acl)
        HeapFree(GetProcessHeap(), 0, acl);
    if (administrators)
        FreeSid(administrators);
    if (interactive)
        FreeSid(interactive);
    RegCloseKey(key);
    return result;
}

int DeleteMatchingInTree(const char* folder, const char* pattern, bool removeEmptied)
{
    char listing[kPathCapacity];
    if (!JoinPath(listing, folder, "*.*"))
        return 14;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(listing, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 14;
    bool deletedHere = false;
    do {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0)
            continue;
        // A folder link is not followed: it may lead back up the tree. A
        // path past the limit is skipped, never cut.
        char child[kPathCapacity];
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            JoinPath(child, folder, entry.cFileName))
            DeleteMatchingInTree(child, pattern, removeEmptied);
        if (DeleteOneMatch(folder, pattern))
            deletedHere = true;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    if (removeEmptied && deletedHere && !RemoveDirectoryA(folder))
        return 16;
    return 0;
}

int DeleteServicePackShortcuts()
{
    char profiles[kPathCapacity] = {};
    DWORD size = sizeof profiles;
    if (!GetProfilesDirectoryA(profiles, &size))
        return 13;
    int code = 0;
    DeleteShortcutsIn(profiles, &code);
    char program[kPathCapacity] = {};
    GetModuleFileNameA(nullptr, program, sizeof program - 1);
    const std::string profilesDrive = DriveOf(profiles);
    if (DriveOf(program) == profilesDrive)
        return code;
    char documents[kPathCapacity];
    snprintf(documents, sizeof documents, "%s\\Documents and Settings", profilesDrive.c_str());
    DeleteShortcutsIn(documents, &code);
    return code;
}

int DeletePowerUtilityFiles()
{
    static const char* const kFiles[] = {
        "\\system32\\drivers\\zorvpm.sys", "\\system32\\zorvpm.exe", "\\system32\\zorvpm.cpl",
        "\\system32\\zorvpmcpl.hlp",       "\\system32\\zorvpm.scr",
    };
    char windows[kPathCapacity] = {};
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return 25;
    for (const char* suffix : kFiles) {
        char path[kPathCapacity];
        const int written = snprintf(path, sizeof path, "%s%s", windows, suffix);
        if (written > 0 && static_cast<size_t>(written) < sizeof path)
            DeleteFileA(path);
    }
    return 0;
}
