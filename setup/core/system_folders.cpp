#include "setup/core/system_folders.h"

#include <cstring>

#include "setup/core/dbcs.h"

namespace {

// Below the Windows folder of every Windows 2000 and XP installation,
// whatever components were chosen.
const char* const NtFamilyFolders[] = {
    "FONTS", "HELP", "INF", "SYSTEM", "SYSTEM32", "SYSTEM32\\CONFIG", "SYSTEM32\\DRIVERS", "SYSTEM32\\SPOOL", "TEMP",
};

// Below the Windows folder of every Windows 95 and 98 installation,
// whatever components were chosen.
const char* const Windows9xFolders[] = {
    "COMMAND", "FONTS", "HELP", "INF", "SYSTEM", "SYSTEM\\IOSUBSYS", "TEMP",
};

// The Windows folders that setup makes by default: one of them is the
// machine's own.
const char* const WindowsFolders[] = {"C:\\WINDOWS", "C:\\WINNT"};

// `text` with its ASCII letters in upper case; the second byte of a
// double-byte character is kept, so that no name is found across one.
std::string UpperAscii(const std::string& text)
{
    std::string upper = text;
    for (size_t i = 0; i < upper.size(); ++i) {
        if (IsLeadByte932(static_cast<unsigned char>(upper[i])) && i + 1 < upper.size())
            upper[++i] = '\x01';
        else if (upper[i] >= 'a' && upper[i] <= 'z')
            upper[i] = static_cast<char>(upper[i] - 'a' + 'A');
    }
    return upper;
}

// Where `name` stands in `upper` as a whole folder or file name: after a
// backslash, a blank, a quote or the start, and before a backslash, a
// blank, a quote or the end; npos when nowhere.
size_t FindWhole(const std::string& upper, const std::string& name, bool afterSeparator)
{
    for (size_t at = upper.find(name); at != std::string::npos; at = upper.find(name, at + 1)) {
        const char before = at == 0 ? ' ' : upper[at - 1];
        const size_t end = at + name.size();
        const char after = end == upper.size() ? ' ' : upper[end];
        const bool starts = afterSeparator ? before == '\\' : (before == ' ' || before == '"' || before == '\\');
        if (starts && (after == ' ' || after == '"' || after == '\\'))
            return at;
    }
    return std::string::npos;
}

} // namespace

ForeignPath FindForeignPath(const std::string& text, const std::string& windowsDir, bool ntFamily, bool program,
                            std::string* named)
{
    const std::string upper = UpperAscii(text);
    std::string own = UpperAscii(windowsDir);
    if (own.size() > 3 && own.back() == '\\')
        own.pop_back();
    for (const char* folder : WindowsFolders) {
        const size_t at = FindWhole(upper, folder, false);
        if (at != std::string::npos && own != folder) {
            *named = text.substr(at, strlen(folder));
            return ForeignPath::OtherWindowsFolder;
        }
    }
    if (ntFamily)
        return ForeignPath::None;
    if (program) {
        // The program a command line starts: the quoted part, or its first word.
        const size_t from = upper.compare(0, 1, "\"") == 0 ? 1 : 0;
        const size_t end = upper.find(from ? '"' : ' ', from);
        const std::string path = upper.substr(from, end == std::string::npos ? std::string::npos : end - from);
        const size_t slash = path.rfind('\\');
        const size_t name = slash == std::string::npos ? 0 : slash + 1;
        if (path.compare(name, std::string::npos, "CMD") == 0 || path.compare(name, std::string::npos, "CMD.EXE") == 0) {
            *named = text.substr(from + name, path.size() - name);
            return ForeignPath::NoCmdExe;
        }
    }
    // Windows 98 keeps WDM drivers in SYSTEM32\DRIVERS; nothing else there.
    const size_t system32 = FindWhole(upper, "SYSTEM32", true);
    if (system32 != std::string::npos && upper.compare(system32 + 8, 8, "\\DRIVERS") != 0) {
        const size_t start = upper.find_last_of(" \"", system32);
        const size_t begin = start == std::string::npos ? 0 : start + 1;
        *named = text.substr(begin, system32 + 8 - begin);
        return ForeignPath::NoSystem32;
    }
    return ForeignPath::None;
}

std::vector<std::string> FoldersEveryWindowsHas(const MacroValues& macros, bool ntFamily)
{
    std::vector<std::string> folders = {macros.windowsDir, macros.systemDir, macros.programFilesDir};
    const std::string windows = macros.windowsDir;
    if (ntFamily) {
        for (const char* below : NtFamilyFolders)
            folders.push_back(windows + "\\" + below);
    } else {
        for (const char* below : Windows9xFolders)
            folders.push_back(windows + "\\" + below);
    }
    return folders;
}
