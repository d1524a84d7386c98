// The command interpreter.
#include "setup/shell/interpreter.h"

#include "setup/commands/dispatch.h"
#include "setup/commands/process_commands.h"
#include "setup/core/inf_parser.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_state.h"

namespace {

void ArmStepTimer(HWND window)
{
    SetTimer(window, StepTimer, g_setup.config.tickInterval, nullptr);
}

// Frees the list and destroys the window, whose destruction ends the program.
void EndRun(HWND window)
{
    FreeAppList();
    DestroyWindow(window);
}

// Makes the first command of `app` current and dispatches it; false when
// the application has no command or the dispatch ends the run.
bool StartApp(AppRecord* app)
{
    CommandRecord* first = First(app->commands);
    return first && DispatchCommand(first);
}

// Dispatches the next command, or starts the next selected application;
// answers whether the run goes on.
bool AdvanceRun(AppRecord* app)
{
    if (CommandRecord* next = Next(app->commands))
        return DispatchCommand(next);
    AppRecord* nextApp = NextSelectedApp();
    return nextApp && StartApp(nextApp);
}

} // namespace

// With nothing selected the run ends at once: the window is never left
// waiting for a tick that no command would arm.
LRESULT OnStartInstall(HWND window)
{
    AppRecord* app = FirstSelectedApp();
    if (app && StartApp(app)) {
        ArmStepTimer(window);
        return 1;
    }
    EndRun(window);
    return 0;
}

void OnStepTick(HWND window, UINT_PTR timerId)
{
    KillTimer(window, StepTimer);
    CommandRecord* cmd = CurrentCommand();
    if (!cmd)
        return;
    if (timerId == SleepTimer) {
        KillTimer(window, cmd->handle);
        cmd->busy = 0;
    }
    if (!IsCommandDone(cmd)) {
        ArmStepTimer(window);
        return;
    }
    if (AdvanceRun(Current(g_setup.appList)))
        ArmStepTimer(window);
    else
        EndRun(window);
}
