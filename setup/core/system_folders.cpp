#include "setup/core/system_folders.h"

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

} // namespace

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
