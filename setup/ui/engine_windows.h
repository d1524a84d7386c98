// The windows of the running qvsetup, the one state the engine keeps
// global: every box, dialog and timer of the run belongs to them.
#pragma once

#include <windows.h>

#include "setup/core/records.h"

// The windows of the running engine, and the module they are made from.
struct EngineWindows {
    HINSTANCE instance;
    HWND background;
    HWND selectionDialog;
    HWND listControl;            // the selection dialog's selector
    char caption[TitleCapacity]; // SETUPNAME: the title of the windows, the caption of the boxes
};

extern EngineWindows g_windows;

// The module the windows are made from, and SETUPNAME, their title and the
// caption of their boxes (cut to fit); set before the first box.
void NameEngineWindows(HINSTANCE instance, const char* caption);
