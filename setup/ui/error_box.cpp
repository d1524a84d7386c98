// The engine's error box.
#include "setup/ui/error_box.h"

#include <cstdio>

#include "setup/core/setup_state.h"

namespace {
// Room for the longest message and a full path; snprintf cuts, never overruns.
constexpr size_t ErrorTextCapacity = LoadDetailCapacity;
} // namespace

void ShowError(HWND owner, const char* text, const char* caption)
{
    MessageBoxA(owner, text, caption ? caption : g_setup.config.setupName, MB_OK | MB_ICONERROR);
}

void ShowErrorWithDetail(HWND owner, const char* format, const char* detail)
{
    char text[ErrorTextCapacity];
    snprintf(text, sizeof text, format, detail);
    ShowError(owner, text);
}

void ShowLoadError(HWND owner, const LoadError& error)
{
    char text[ErrorTextCapacity];
    FormatLoadMessage(error, text, sizeof text);
    ShowError(owner, text);
}
