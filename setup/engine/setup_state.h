// SetupState: the process-wide state of the setup engine, one instance per run.
#pragma once

#include <windows.h>

#include "setup/commands/copy_dialog.h"
#include "setup/engine/inf_line.h"
#include "setup/engine/records.h"
#include "setup/ui/background_picture.h"

enum ListStyle : int32_t {
    StyleMulti = 1,
    StyleSingle = 2,
    StyleSingleList = 3,
};

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
    char setupName[64];                 // SETUPNAME
    char backgroundMsg[PathCapacity];   // BACKGROUND_MSG, escapes rewritten
    int32_t showBackground;             // BACKGROUND
    int32_t listStyle;                  // STYLE: a ListStyle
    uint32_t platformId;                // VER_PLATFORM_WIN32_NT (2) on the NT family
    uint32_t tickInterval;              // SIGNAL, milliseconds
    int32_t isAdmin;
    int32_t keepOnTop;                  // FOREGROUND
    HWND backgroundWindow;
    HWND selectionDialog;
    UINT_PTR stepTimerId;
    NodeList<AppRecord> appList;
    NodeList<WindowTitleNode> excludeList;

    // Selection dialog and its selector
    int32_t cancelAllowed;              // CANCEL is not "NO"
    AppRecord defaultInstall;           // [DefaultInstall] pseudo-application
    AppRecord cancelInstall;            // [CancelInstall] pseudo-application
    HICON appIcon;                      // icon 101
    RECT dialogClientRect;              // selection dialog client area, pixels
    HWND listControl;                   // the selector
    int32_t markedIndex;                // item a single-choice selector marked last

    // Background painting
    BackgroundPicture picture;          // BITMAP
    int32_t pictureLoaded;              // picture has both a bitmap and a palette

    // Drive checks: the key of the last check that succeeded, per kind
    char lastCdromKey[CheckKeyCapacity];
    char lastFdKey[CheckKeyCapacity];

    // Command dialogs
    CommandRecord* activeCommand;       // record of the open notice or copy dialog
    RECT noticeClientRect;              // notice dialog client area, pixels
    HWND copyDialog;                    // the open copy progress dialog
    CopyWalkNode rootNode;              // the source folder of the copy
    CopyWalkNode* currentNode;          // the folder being listed
};

extern SetupState g_setup;

// What the script macros expand to, taken from the state.
MacroValues MacroValuesOf(const SetupState& state);
