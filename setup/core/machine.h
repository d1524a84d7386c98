// Machine: what the computer that a run installs on is, as the macros and
// the commands see it: its folders, its drive letters, its platform and the
// user's rights. qvsetup reads it from Windows at start-up; qvcheck fills
// one from the system it is told to judge.
#pragma once

#include <cstdint>

#include "setup/core/inf_line.h"
#include "setup/core/records.h"

struct Machine {
    char windowsDir[PathCapacity];      // %WINDIR%
    char systemDir[PathCapacity];       // %WINSYSDIR%
    char programFilesDir[PathCapacity]; // %PROGRAMFILES%
    char bootLetter;                    // %BOOTDISK%
    char cdromLetter;                   // %CDROM%; CdromPlaceholder while unknown
    char fdLetter;                      // %FD%
    char windowsLetter;                 // %WINDISK%
    uint32_t platformId;                // VER_PLATFORM_WIN32_NT (2) on the NT family
    bool isAdmin;
};

// What the script macros expand to on `machine`.
MacroValues MacroValuesOf(const Machine& machine);
