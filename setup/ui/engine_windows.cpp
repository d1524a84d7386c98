// The running engine's windows.
#include "setup/ui/engine_windows.h"

EngineWindows g_windows;
