// The folders that every installed Windows of a family has: its Windows,
// system and Program Files folders and the folders that its own setup
// makes below the Windows folder. A command may count on them where it
// needs a folder to exist. No platform calls.
#pragma once

#include <string>
#include <vector>

#include "setup/core/inf_line.h"

// The folders of the machine that `macros` describe, as full paths: the
// Windows, system and Program Files folders, then those below the Windows
// folder of the NT family (`ntFamily`) or of Windows 9x.
std::vector<std::string> FoldersEveryWindowsHas(const MacroValues& macros, bool ntFamily);

// What a path of a command line, as the machine expands it, names that the
// Windows of `windowsDir` (of the NT family, or 9x) lacks or keeps elsewhere:
// another Windows folder than its own, or on Windows 9x the command
// interpreter of the NT family as the program of a command line, or its
// system32 folder.
enum class ForeignPath {
    None,
    OtherWindowsFolder,     // C:\WINNT where Windows is C:\WINDOWS, or the other way round
    NoCmdExe,               // cmd.exe on Windows 9x, whose interpreter is COMMAND.COM
    NoSystem32,             // a system32 folder on Windows 9x (but for its DRIVERS), whose system folder is SYSTEM
};

// The first such name in `text`, with the part of `text` that names it in
// `*named`; `program`: `text` is a command line, whose program is looked at.
ForeignPath FindForeignPath(const std::string& text, const std::string& windowsDir, bool ntFamily, bool program,
                            std::string* named);
