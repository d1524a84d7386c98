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
