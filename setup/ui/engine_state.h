// The one machine, media and set of windows of the running qvsetup. The
// core is handed the machine and the media it works on; the engine's
// windows and commands, on the floors above it, share these.
#pragma once

#include <windows.h>

#include "setup/core/machine.h"
#include "setup/core/media.h"

// The windows of the running engine, and the module they are made from.
struct EngineWindows {
    HINSTANCE instance;
    HWND background;
    HWND selectionDialog;
    HWND listControl; // the selection dialog's selector
    char caption[TitleCapacity]; // SETUPNAME: the title of the windows, the caption of the boxes
};

extern Machine g_machine;
extern Media g_media;
extern EngineWindows g_windows;
