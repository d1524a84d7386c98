// The engine's error box.
#include "setup/engine/show_error.h"

#include <cstdio>

#include "setup/engine/setup_state.h"

void ShowError(HWND owner, const char* text, const char* caption)
{
    MessageBoxA(owner, text, caption ? caption : g_setup.setupName, MB_OK | MB_ICONERROR);
    if (owner)
        DestroyWindow(owner);
}

void ShowErrorWithDetail(HWND owner, const char* format, const char* detail)
{
    // Room for the longest message and a full path; snprintf cuts, never overruns.
    char text[PathCapacity + 128];
    snprintf(text, sizeof text, format, detail);
    ShowError(owner, text);
}
