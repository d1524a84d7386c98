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
#include "setup/core/unattended.h"

namespace {

// What the commands of the run work with.
CommandScene SceneOfRun(Engine& engine)
{
    return CommandScene{engine.machine, engine.media, RunAttendant()};
}

void ArmStepTimer(HWND window, const Engine& engine)
{
    SetTimer(window, StepTimer, engine.media.config.tickInterval, nullptr);
}

// Frees the list and destroys the window, whose destruction ends the program.
void EndRun(HWND window, Engine& engine)
{
    LogEvent("the run ends");
    // No position survives the records it pointed at.
    engine.at = RunPosition{};
    FreeAppList(engine.media);
    DestroyWindow(window);
}

// Makes the command at `from` of `app` current (its first, unless a
// resumed run goes on further in it) and dispatches it; false when the
// application has no command or the dispatch ends the run.
bool StartApp(Engine& engine, AppRecord* app, int32_t from = 0)
{
    ApplicationStarts(app);
    if (app->listIndex == -1)
        LogEvent("commands of the master INF");
    else
        LogEvent("application \"%s\" (%s)", app->title, app->infPath);
    if (from > 0)
        LogEvent("the run goes on from its command %ld", static_cast<long>(from) + 1);
    CommandRecord* first = MoveTo(engine.at, app, from);
    if (!first) {
        LogEvent("the application has no command: the run ends here");
        char message[EndMessageCapacity];
        snprintf(message, sizeof message, "%s has no command: the run ended without a message",
                 app->infPath);
        EndRunSilently(message);
    }
    return first && DispatchCommand(first, SceneOfRun(engine));
}

// Dispatches the next command, or starts the next selected application;
// answers whether the run goes on.
bool AdvanceRun(Engine& engine, AppRecord* app)
{
    if (CommandRecord* next = MoveToNextCommand(engine.at))
        return DispatchCommand(next, SceneOfRun(engine));
    AppRecord* nextApp = NextSelectedApp(app);
    if (!nextApp)
        LogEvent(LogEveryAppDone);
    return nextApp && StartApp(engine, nextApp);
}

} // namespace

// With nothing selected the run ends at once: the window is never left
// waiting for a tick that no command would arm.
LRESULT OnStartInstall(HWND window, Engine& engine)
{
    int32_t from = 0;
    AppRecord* app = nullptr;
    if (!RunAttendant().FindsStart(engine.media, &app, &from)) {
        EndRun(window, engine);
        return 0;
    }
    if (app && StartApp(engine, app, from)) {
        ArmStepTimer(window, engine);
        return 1;
    }
    EndRun(window, engine);
    return 0;
}

void OnStepTick(HWND window, UINT_PTR timerId, Engine& engine)
{
    KillTimer(window, StepTimer);
    CommandRecord* cmd = engine.at.command;
    if (!cmd)
        return;
    if (timerId == SleepTimer)
        EndSleep(window, cmd);
    if (!IsCommandDone(cmd)) {
        ArmStepTimer(window, engine);
        return;
    }
    AppRecord* app = engine.at.app;
    if (app && NextProgramWaits(cmd, FollowingCommand(app, cmd))) {
        ArmStepTimer(window, engine);
        return;
    }
    // An unattended run stops where its end was recorded, and any run where
    // Windows ended the session: its journal goes on after the restart.
    if (!RunStops() && AdvanceRun(engine, app))
        ArmStepTimer(window, engine);
    else
        EndRun(window, engine);
}
