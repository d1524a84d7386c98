// Program entry of the setup engine: single instance, settings, the
// background window and the message loop.
#include <windows.h>

#include "setup/engine/background_window.h"
#include "setup/engine/setup_state.h"
#include "setup/engine/startup.h"
#include "setup/ui/selectors.h"

namespace {

constexpr char kMutexName[] = "QVSETUP Running Identify";

bool IsCheckListSpace(const MSG& message)
{
    return message.message == WM_KEYDOWN && message.wParam == VK_SPACE &&
           message.hwnd == g_setup.listControl && g_setup.listControl &&
           g_setup.listStyle == StyleMulti;
}

// Runs until the quit message and answers its code.
int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsCheckListSpace(message)) {
            ToggleCurrentCheck();
            continue;
        }
        if (g_setup.selectionDialog && IsDialogMessageA(g_setup.selectionDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunSetup(HINSTANCE instance, const char* commandLine)
{
    LocateMasterInf(commandLine);
    g_setup.instance = instance;
    if (!RegisterBackgroundClass(instance))
        return 0;
    LoadSettings();
    g_setup.isAdmin = g_setup.platformId == VER_PLATFORM_WIN32_NT ? IsAdministrator() : 1;

    HWND window = CreateBackgroundWindow(instance);
    if (!window)
        return 1;
    if (g_setup.showBackground) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        SetFocus(g_setup.selectionDialog);
    }
    return RunMessageLoop();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // A second instance ends at once and silently.
    HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (running) {
        CloseHandle(running);
        return 0;
    }
    HANDLE mutex = CreateMutexA(nullptr, TRUE, kMutexName);
    const int exitCode = RunSetup(instance, commandLine);
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return exitCode;
}
