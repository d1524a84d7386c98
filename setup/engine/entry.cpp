// Program entry of the setup engine.
#include <windows.h>

#include "setup/engine/setup_state.h"
#include "setup/engine/startup.h"

namespace {
constexpr char kMutexName[] = "QVSETUP Running Identify";
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // A second instance ends at once and silently.
    HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (running) {
        CloseHandle(running);
        return 0;
    }
    HANDLE mutex = CreateMutexA(nullptr, TRUE, kMutexName);

    LocateMasterInf(commandLine);
    g_setup.instance = instance;
    LoadSettings();
    g_setup.isAdmin = g_setup.platformId == VER_PLATFORM_WIN32_NT ? IsAdministrator() : 1;

    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return 0;
}
