// The background window: full-screen surface, owner of every box, carrier of
// the interpreter's timers.
#pragma once

#include <windows.h>

constexpr char BackgroundClass[] = "QVSETUP_BACKGROUND";

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterBackgroundClass(HINSTANCE instance);

// The full-screen background window, titled SETUPNAME; null when it could
// not be created or closed itself during creation.
HWND CreateBackgroundWindow(HINSTANCE instance);
