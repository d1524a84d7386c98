// The running engine's machine, media and windows.
#include "setup/ui/engine_state.h"

Machine g_machine;
Media g_media;
EngineWindows g_windows;
