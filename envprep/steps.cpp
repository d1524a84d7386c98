// The six steps of envprep.
#include "envprep/steps.h"

#include <userenv.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/owners.h"
#include "envprep/envprep_rules.h"

namespace {

constexpr size_t PathCapacity = MAX_PATH;
constexpr size_t InstancePathCapacity = 128;
constexpr size_t IndexNameCapacity = 16;   // "%lu" of any 32-bit index fits
constexpr DWORD StartDisabled = 4;         // a service's Start value: disabled
constexpr DWORD DeviceDisabledFlag = 1;    // ConfigFlags of a disabled device
constexpr DWORD AclOverhead = 24;          // the ACL header and two ACE headers

// A key of HKEY_LOCAL_MACHINE, with the DWORD values the steps read and write.
class MachineKey {
public:
    MachineKey(const char* subkey, REGSAM access)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, access, key_.Receive()) != ERROR_SUCCESS)
            key_.Release();
    }

    bool IsOpen() const { return key_.valid(); }
    HKEY get() const { return key_.get(); }

    bool ReadDword(const char* name, DWORD* value) const
    {
        DWORD type = 0, size = sizeof *value;
        return RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                                &size) == ERROR_SUCCESS && size == sizeof *value;
    }

    bool WriteDword(const char* name, DWORD value) const
    {
        return RegSetValueExA(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof value) == ERROR_SUCCESS;
    }

private:
    RegistryKey key_;
};

// A DWORD value of a key; false when the key or value can't be read.
bool ReadKeyDword(const char* subkey, const char* name, DWORD* value)
{
    MachineKey key(subkey, KEY_QUERY_VALUE);
    return key.IsOpen() && key.ReadDword(name, value);
}

struct WakeCodes {
    int noDeviceId;
    int noEnumKey;
    int notEnabled;
};

// The indices below a Count that an enumeration key has values for, in
// ascending order, in a block of the process heap.
class PresentIndices {
public:
    // Only the values that exist are listed: a damaged Count of four
    // billion costs no more than they do.
    PresentIndices(HKEY key, uint32_t count)
    {
        DWORD values = 0;
        if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS || values == 0)
            return;
        indices_ = static_cast<uint32_t*>(HeapAlloc(GetProcessHeap(), 0, values * sizeof *indices_));
        if (!indices_)
            return;
        char name[IndexNameCapacity];
        for (DWORD i = 0; i < values; ++i) {
            DWORD length = sizeof name;
            const LONG result = RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr,
                                              nullptr);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result == ERROR_SUCCESS && ValueNameIndex(name, count, &indices_[size_]))
                ++size_;
        }
        std::sort(indices_, indices_ + size_);
    }
    ~PresentIndices()
    {
        if (indices_)
            HeapFree(GetProcessHeap(), 0, indices_);
    }
    PresentIndices(const PresentIndices&) = delete;
    PresentIndices& operator=(const PresentIndices&) = delete;

    const uint32_t* begin() const { return indices_; }
    const uint32_t* end() const { return indices_ + size_; }

private:
    uint32_t* indices_ = nullptr;
    size_t size_ = 0;
};

// Sets WaitWakeEnabled for the device instance of value `index` when it is
// the maker's device; answers `code`, or the code of this index's failure.
int WakeInstance(HKEY devices, uint32_t index, bool (*isMakerDevice)(const char*),
                 const WakeCodes& codes, int code)
{
    char name[IndexNameCapacity];
    snprintf(name, sizeof name, "%lu", static_cast<unsigned long>(index));
    // A path that does not fit its buffer counts as a failed read.
    char instancePath[InstancePathCapacity] = {};
    DWORD type = 0, size = sizeof instancePath - 1;
    if (RegQueryValueExA(devices, name, nullptr, &type, reinterpret_cast<BYTE*>(instancePath),
                         &size) != ERROR_SUCCESS)
        return codes.noDeviceId;
    if (!isMakerDevice(instancePath))
        return code;
    char subkey[PathCapacity + 64];
    const int length = snprintf(subkey, sizeof subkey,
                                "SYSTEM\\CurrentControlSet\\Enum\\%s\\Device Parameters",
                                instancePath);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof subkey)
        return codes.noEnumKey;
    MachineKey parameters(subkey, KEY_SET_VALUE);
    if (!parameters.IsOpen())
        return codes.noEnumKey;
    if (!parameters.WriteDword("WaitWakeEnabled", 1))
        return codes.notEnabled;
    return code;
}

// Sets WaitWakeEnabled on every enumerated instance of the maker's device.
// The code is the one a visit of every index from 0 to Count - 1 gives:
// the last failure's code wins, and an index without a value is a failed
// read.
int EnableWake(const char* enumKey, bool (*isMakerDevice)(const char*), const WakeCodes& codes)
{
    DWORD acpiStart = 0;
    if (!ReadKeyDword("SYSTEM\\CurrentControlSet\\Services\\ACPI", "Start", &acpiStart) ||
        acpiStart == StartDisabled)
        return StepDone;
    MachineKey devices(enumKey, KEY_QUERY_VALUE);
    DWORD count = 0;
    if (!devices.IsOpen() || !devices.ReadDword("Count", &count) || count == 0)
        return StepDone;
    int code = StepDone;
    uint32_t expected = 0;   // the next index a full visit would read
    const PresentIndices present(devices.get(), count);
    for (uint32_t index : present) {
        if (index > expected)
            code = codes.noDeviceId;
        code = WakeInstance(devices.get(), index, isMakerDevice, codes, code);
        expected = index + 1;
    }
    if (expected < count)
        code = codes.noDeviceId;
    return code;
}

// folder + "\" + name into `path`; false when it would pass the path limit.
bool JoinPath(char (&path)[PathCapacity], const char* folder, const char* name)
{
    const int written = snprintf(path, sizeof path, "%s\\%s", folder, name);
    return written > 0 && static_cast<size_t>(written) < sizeof path;
}

// Deletes the first file that folder + pattern finds; true when it went.
bool DeleteOneMatch(const char* folder, const char* pattern)
{
    char search[PathCapacity];
    const int written = snprintf(search, sizeof search, "%s%s", folder, pattern);
    if (written <= 0 || static_cast<size_t>(written) >= sizeof search)
        return false;
    WIN32_FIND_DATAA found;
    if (!FindHandle(FindFirstFileA(search, &found)).valid())
        return false;
    char file[PathCapacity];
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
        return StepDone;
    MachineKey port("SYSTEM\\CurrentControlSet\\Services\\i8042prt", KEY_SET_VALUE);
    if (!port.IsOpen())
        return StepKeyboardPortUnopened;
    return port.WriteDword("Start", StartDisabled) ? StepDone : StepKeyboardPortNotSet;
}

int EnableUsbKeyboardWake()
{
    return EnableWake("SYSTEM\\CurrentControlSet\\Services\\kbdhid\\Enum", IsMakerKeyboard,
                      WakeCodes{StepKeyboardIdUnread, StepKeyboardEnumUnopened,
                                StepKeyboardWakeNotSet});
}

int EnableUsbMouseWake()
{
    return EnableWake("SYSTEM\\CurrentControlSet\\Services\\mouhid\\Enum", IsMakerMouse,
                      WakeCodes{StepMouseIdUnread, StepMouseEnumUnopened, StepMouseWakeNotSet});
}

int EnableApm()
{
    constexpr char Device[] = "SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NTAPM\\0000";
    if (!MachineKey("SYSTEM\\CurrentControlSet\\Services\\NtAPM", KEY_QUERY_VALUE).IsOpen())
        return StepDone;
    GrantKeyAccess(Device);
    MachineKey device(Device, KEY_ALL_ACCESS);
    if (!device.IsOpen())
        return StepApmKeyUnopened;
    DWORD flags = 0;
    if (!device.ReadDword("ConfigFlags", &flags) || flags == DeviceDisabledFlag)
        return device.WriteDword("ConfigFlags", 0) ? StepDone : StepApmNotEnabled;
    return StepDone;
}

LONG GrantKeyAccess(const char* subkey)
{
    RegistryKey key;
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, WRITE_DAC, key.Receive());
    if (opened != ERROR_SUCCESS) {
        key.Release();
        return opened;
    }
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID interactive = nullptr, administrators = nullptr;
    PACL acl = nullptr;
    LONG result = 0;
    SECURITY_DESCRIPTOR descriptor;
    if (!AllocateAndInitializeSid(&nt, 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &interactive)) {
        result = StepInteractiveSid;
    } else if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                         &administrators)) {
        result = StepAdministratorsSid;
    } else {
        const DWORD aclSize = GetLengthSid(administrators) + GetLengthSid(interactive) + AclOverhead;
        acl = static_cast<PACL>(HeapAlloc(GetProcessHeap(), 0, aclSize));
        if (!acl)
            result = StepAclMemory;
        else if (!InitializeAcl(acl, aclSize, ACL_REVISION))
            result = StepAclInit;
        else if (!AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, interactive))
            result = StepReadAccess;
        else if (!AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, administrators))
            result = StepFullAccess;
        else if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION))
            result = StepDescriptorInit;
        else if (!SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
            result = StepDescriptorDacl;
        else
            result = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &descriptor);
    }
    if (acl)
        HeapFree(GetProcessHeap(), 0, acl);
    if (administrators)
        FreeSid(administrators);
    if (interactive)
        FreeSid(interactive);
    return result;
}

int DeleteMatchingInTree(const char* folder, const char* pattern, bool removeEmptied)
{
    char listing[PathCapacity];
    if (!JoinPath(listing, folder, "*.*"))
        return StepNoMatchingFile;
    WIN32_FIND_DATAA entry;
    const FindHandle search(FindFirstFileA(listing, &entry));
    if (!search.valid())
        return StepNoMatchingFile;
    bool deletedHere = false;
    do {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0)
            continue;
        // A folder link is not followed: it may lead back up the tree. A
        // path past the limit is skipped, never cut.
        char child[PathCapacity];
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            JoinPath(child, folder, entry.cFileName))
            DeleteMatchingInTree(child, pattern, removeEmptied);
        if (DeleteOneMatch(folder, pattern))
            deletedHere = true;
    } while (FindNextFileA(search.get(), &entry));
    if (removeEmptied && deletedHere && !RemoveDirectoryA(folder))
        return StepFolderNotRemoved;
    return StepDone;
}

int DeleteServicePackShortcuts()
{
    char profiles[PathCapacity] = {};
    DWORD size = sizeof profiles;
    if (!GetProfilesDirectoryA(profiles, &size))
        return StepNoProfilesFolder;
    int code = StepDone;
    DeleteShortcutsIn(profiles, &code);
    char program[PathCapacity] = {};
    GetModuleFileNameA(nullptr, program, sizeof program - 1);
    const std::string profilesDrive = DriveOf(profiles);
    if (DriveOf(program) == profilesDrive)
        return code;
    char documents[PathCapacity];
    snprintf(documents, sizeof documents, "%s\\Documents and Settings", profilesDrive.c_str());
    DeleteShortcutsIn(documents, &code);
    return code;
}

int DeletePowerUtilityFiles()
{
    static const char* const Files[] = {
        "\\system32\\drivers\\zorvpm.sys", "\\system32\\zorvpm.exe", "\\system32\\zorvpm.cpl",
        "\\system32\\zorvpmcpl.hlp",       "\\system32\\zorvpm.scr",
    };
    char windows[PathCapacity] = {};
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return StepNoWindowsFolder;
    for (const char* suffix : Files) {
        char path[PathCapacity];
        const int written = snprintf(path, sizeof path, "%s%s", windows, suffix);
        if (written > 0 && static_cast<size_t>(written) < sizeof path)
            DeleteFileA(path);
    }
    return StepDone;
}
