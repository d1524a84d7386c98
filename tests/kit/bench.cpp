// Helpers for tests that run under Wine.
#include "tests/kit/bench.h"

#include <winioctl.h>

#include <cstring>
#include <sstream>
#include <vector>

namespace {

// Wine's mount manager request that defines a drive letter, as its
// configuration tool sends it: a header followed by the Unix path.
constexpr DWORD DefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED,
                                            FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

bool SendDriveRequest(const std::vector<char>& request)
{
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, DefineUnixDrive, const_cast<char*>(request.data()),
                                    static_cast<DWORD>(request.size()), nullptr, 0, &returned,
                                    nullptr);
    CloseHandle(manager);
    return ok != FALSE;
}

std::vector<char> DriveRequest(char letter, UINT type, const std::string& unixPath)
{
    std::vector<char> request(sizeof(UnixDriveRequest) + unixPath.size() + 1, '\0');
    UnixDriveRequest header = {};
    header.size = static_cast<ULONG>(request.size());
    header.type = type;
    header.letter = static_cast<WCHAR>(letter | 0x20);
    if (!unixPath.empty()) {
        header.mountPointOffset = sizeof header;
        memcpy(request.data() + sizeof header, unixPath.c_str(), unixPath.size());
    }
    memcpy(request.data(), &header, sizeof header);
    return request;
}

// The Unix path of a Windows path, through Wine's kernel32 extension.
std::string UnixPath(const std::string& windowsPath)
{
    using Converter = char*(CDECL*)(const WCHAR*);
    auto convert = reinterpret_cast<Converter>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return std::string();
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unixPath = convert(wide);
    if (!unixPath)
        return std::string();
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

} // namespace

std::string MakeTempFolder(const char* tag)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%s%s%lu_%u", temp, tag, GetCurrentProcessId(), attempt);
        if (CreateDirectoryA(folder, nullptr))
            return folder;
    }
    return std::string();
}

void MakeParentFolders(const std::string& path, size_t kept)
{
    for (size_t i = kept + 1; i < path.size(); ++i) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i])))
            ++i;
        else if (path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ReadBytes(const std::string& path)
{
    // Shared for writing: a helper program may be appending to the file.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

bool MapDrive(char letter, const std::string& folder, UINT driveType)
{
    return MapUnixDrive(letter, UnixPath(folder), driveType);
}

bool MapUnixDrive(char letter, const std::string& unixPath, UINT driveType)
{
    return !unixPath.empty() && SendDriveRequest(DriveRequest(letter, driveType, unixPath));
}

bool UnmapDrive(char letter)
{
    return SendDriveRequest(DriveRequest(letter, DRIVE_NO_ROOT_DIR, std::string()));
}

bool SetWindowsVersion(const char* exeName, const char* version)
{
    const std::string keyPath = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (!version)
        return RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str()) == ERROR_SUCCESS;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, "Version", 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(version),
                                       static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool ImportRegistry(const std::string& regText)
{
    const std::string folder = MakeTempFolder("reg");
    const std::string file = folder + "\\import.reg";
    bool ok = WriteBytes(file, regText);
    if (ok) {
        const RunResult run = RunProgram("regedit.exe /s \"" + file + "\"", 30000);
        ok = run.started && !run.timedOut && run.exitCode == 0;
    }
    RemoveTree(folder);
    return ok;
}

bool ReadRegistryValue(HKEY root, const char* keyPath, const char* name, DWORD* type,
                       std::string* data)
{
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data->assign(size, '\0');
        result = RegQueryValueExA(key, name, nullptr, type,
                                  reinterpret_cast<BYTE*>(&(*data)[0]), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool ServiceExists(const char* name)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceA(manager, name, SERVICE_QUERY_STATUS) : nullptr;
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return service != nullptr;
}

std::string Crlf(const std::string& text)
{
    std::string result;
    for (const char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

RunResult RunProgram(const std::string& commandLine, DWORD timeoutMs, const char* directory,
                     std::string* output)
{
    RunResult result = {false, false, 0, 0};
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (output) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
            return result;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdError = writeEnd;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, output != nullptr,
                                        0, nullptr, directory, &startup, &process);
    if (writeEnd)
        CloseHandle(writeEnd);
    if (!started) {
        if (readEnd)
            CloseHandle(readEnd);
        return result;
    }
    result.started = true;
    result.processId = process.dwProcessId;
    if (output) {
        // The pipe ends when the program (and whatever inherited it) ends.
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0)
            output->append(buffer, read);
        CloseHandle(readEnd);
    }
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(process.hProcess, 0xDEAD);
        WaitForSingleObject(process.hProcess, 5000);
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

namespace {

void ListTree(const std::string& folder, const std::string& shown, std::vector<std::string>& lines)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListTree(folder + "\\" + name, shown + name + "\\", lines);
        } else {
            lines.push_back(shown + name + (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY ? ": R" : ": -"));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

std::vector<std::string> FileTree(const std::string& folder)
{
    std::vector<std::string> lines;
    ListTree(folder, "", lines);
    return lines;
}
