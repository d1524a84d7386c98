// The background window: full-screen surface, owner of every box, carrier of
// the interpreter's timers.
#pragma once

#include <windows.h>

#include "setup/shell/engine.h"

constexpr char BackgroundClass[] = "QVSETUP_BACKGROUND";

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterBackgroundClass(HINSTANCE instance);

// The full-screen background window of the run of `engine`, titled
// SETUPNAME; null when it could not be created or closed itself during
// creation. The engine must outlive the window.
HWND CreateBackgroundWindow(HINSTANCE instance, Engine& engine);
