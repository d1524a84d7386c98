// SetupState: the process-wide state of the setup engine that several of its
// floors share, one instance per run.
#pragma once

#include <windows.h>

#include "setup/core/inf_line.h"
#include "setup/core/records.h"
#include "setup/core/setup_config.h"

// One [ExcludeForegroundWindow] caption.
struct WindowTitleNode {
    WindowTitleNode* next;
    char* title;
};

struct SetupState {
    HINSTANCE instance;
    char sourceDir[PathCapacity];       // folder of the master INF
    char masterInfPath[PathCapacity];   // sourceDir\QVSETUP.INF
    char bootLetter;                    // %BOOTDISK%
    char windowsDir[PathCapacity];      // %WINDIR%
    char systemDir[PathCapacity];       // %WINSYSDIR%
    char cdromLetter;                   // %CDROM%; CdromPlaceholder while unknown
    char fdLetter;                      // %FD%
    char windowsLetter;                 // %WINDISK%
    char programFilesDir[PathCapacity]; // %PROGRAMFILES%
    SetupConfig config;                 // the master INF's settings
    uint32_t platformId;                // VER_PLATFORM_WIN32_NT (2) on the NT family
    bool isAdmin;
    HWND backgroundWindow;
    HWND selectionDialog;
    HWND listControl;                   // the selection dialog's selector
    NodeList<AppRecord> appList;
    NodeList<WindowTitleNode> excludeList;
};

extern SetupState g_setup;

// What the script macros expand to, taken from the state.
MacroValues MacroValuesOf(const SetupState& state);
