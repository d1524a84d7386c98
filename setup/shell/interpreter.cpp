// The command interpreter.
#include "setup/shell/interpreter.h"

#include <cstdio>

#include "setup/commands/dispatch.h"
#include "setup/commands/process_commands.h"
#include "setup/core/inf_line.h"
#include "setup/core/inf_parser.h"
#include "setup/core/log_lines.h"
#include "setup/core/run_course.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_log.h"
#include "setup/ui/engine_state.h"
#include "setup/core/unattended.h"

namespace {

// What the commands of the run work with.
CommandScene SceneOfRun()
{
    return CommandScene{g_machine, g_media, RunAttendant()};
}

void ArmStepTimer(HWND window)
{
    SetTimer(window, StepTimer, g_media.config.tickInterval, nullptr);
}

// Frees the list and destroys the window, whose destruction ends the program.
void EndRun(HWND window)
{
    LogEvent("the run ends");
    FreeAppList(g_media);
    DestroyWindow(window);
}

// Makes the command at `from` of `app` current (its first, unless a
// resumed run goes on further in it) and dispatches it; false when the
// application has no command or the dispatch ends the run.
bool StartApp(AppRecord* app, int32_t from = 0)
{
    ApplicationStarts(app);
    if (app->listIndex == -1)
        LogEvent("commands of the master INF");
    else
        LogEvent("application \"%s\" (%s)", app->title, app->infPath);
    if (from > 0)
        LogEvent("the run goes on from its command %ld", static_cast<long>(from) + 1);
    CommandRecord* first = CommandAt(app, from);
    if (!first) {
        LogEvent("the application has no command: the run ends here");
        char message[EndMessageCapacity];
        snprintf(message, sizeof message, "%s has no command: the run ended without a message",
                 app->infPath);
        EndRunSilently(message);
    }
    return first && DispatchCommand(first, SceneOfRun());
}

// Dispatches the next command, or starts the next selected application;
// answers whether the run goes on.
bool AdvanceRun(AppRecord* app)
{
    if (CommandRecord* next = Next(app->commands))
        return DispatchCommand(next, SceneOfRun());
    AppRecord* nextApp = NextSelectedApp(g_media);
    if (!nextApp)
        LogEvent(LogEveryAppDone);
    return nextApp && StartApp(nextApp);
}

} // namespace

// With nothing selected the run ends at once: the window is never left
// waiting for a tick that no command would arm.
LRESULT OnStartInstall(HWND window)
{
    int32_t from = 0;
    AppRecord* app = nullptr;
    if (!RunAttendant().FindsStart(&app, &from)) {
        EndRun(window);
        return 0;
    }
    if (app && StartApp(app, from)) {
        ArmStepTimer(window);
        return 1;
    }
    EndRun(window);
    return 0;
}

void OnStepTick(HWND window, UINT_PTR timerId)
{
    KillTimer(window, StepTimer);
    CommandRecord* cmd = CurrentCommand(g_media);
    if (!cmd)
        return;
    if (timerId == SleepTimer)
        EndSleep(window, cmd);
    if (!IsCommandDone(cmd)) {
        ArmStepTimer(window);
        return;
    }
    AppRecord* app = Current(g_media.apps);
    if (app && NextProgramWaits(cmd, FollowingCommand(app, cmd))) {
        ArmStepTimer(window);
        return;
    }
    // An unattended run stops where its end was recorded, and any run where
    // Windows ended the session: its journal goes on after the restart.
    if (!RunStops() && AdvanceRun(app))
        ArmStepTimer(window);
    else
        EndRun(window);
}
