// The running engine's windows.
#include "setup/ui/engine_windows.h"

#include <cstdio>

EngineWindows g_windows;

void NameEngineWindows(HINSTANCE instance, const char* caption)
{
    g_windows.instance = instance;
    snprintf(g_windows.caption, sizeof g_windows.caption, "%s", caption);
}
