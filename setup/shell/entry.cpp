// Program entry of the setup engine: single instance, settings, the
// background window and the message loop.
#include <windows.h>

#include "setup/core/administrator.h"
#include "setup/core/setup_log.h"
#include "setup/core/setup_state.h"
#include "setup/core/startup.h"
#include "setup/core/unattended.h"
#include "setup/shell/background_window.h"
#include "setup/ui/selectors.h"

namespace {

constexpr char MutexName[] = "QVSETUP Running Identify";
constexpr int ExitNoWindow = 1;   // the background window could not be made

bool IsCheckListSpace(const MSG& message)
{
    return message.message == WM_KEYDOWN && message.wParam == VK_SPACE &&
           message.hwnd == g_setup.listControl && g_setup.listControl &&
           g_setup.config.listStyle == StyleMulti;
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
    g_setup.isAdmin = g_setup.platformId == VER_PLATFORM_WIN32_NT ? IsAdministrator() : true;
    const bool answersRead = !UnattendedAsked() || ReadAnswerFile();
    StartSetupLog();
    LogStartOfRun();
    if (!answersRead) {
        LogEvent("%s: nothing runs", g_setup.unattended.message);
        return EndBadAnswers;
    }
    if (g_setup.unattended.on)
        LogEvent("unattended run: no window waits for a person");

    HWND window = CreateBackgroundWindow(instance);
    if (!window)
        return ExitNoWindow;
    if (g_setup.config.showBackground) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        SetFocus(g_setup.selectionDialog);
    }
    return RunMessageLoop();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // A second instance ends at once: silently with 0, or in an unattended
    // run with a code of its own, which a factory line can't take for success.
    HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, MutexName);
    if (running) {
        CloseHandle(running);
        return UnattendedAsked() ? EndAlreadyRunning : 0;
    }
    HANDLE mutex = CreateMutexA(nullptr, TRUE, MutexName);
    int exitCode = RunSetup(instance, commandLine);
    if (g_setup.unattended.on) {
        exitCode = UnattendedExitCode(exitCode);
        WriteRunResult();
    }
    LogEvent("qvsetup ends with exit code %d", exitCode);
    FinishSetupLog();
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return exitCode;
}
