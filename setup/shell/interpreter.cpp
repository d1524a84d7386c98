// The command interpreter.
#include "setup/shell/interpreter.h"

#include <cstdio>

#include "setup/commands/dispatch.h"
#include "setup/commands/process_commands.h"
#include "setup/core/inf_line.h"
#include "setup/core/inf_parser.h"
#include "setup/core/log_lines.h"
#include "setup/core/messages.h"
#include "setup/core/resume.h"
#include "setup/core/run_course.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_log.h"
#include "setup/core/setup_state.h"
#include "setup/core/unattended.h"
#include "setup/ui/error_box.h"

namespace {

constexpr int32_t ResumeNoticeMs = 3000;   // how long a resumed run says that it goes on

void ArmStepTimer(HWND window)
{
    SetTimer(window, StepTimer, g_setup.config.tickInterval, nullptr);
}

// Frees the list and destroys the window, whose destruction ends the program.
void EndRun(HWND window)
{
    LogEvent("the run ends");
    FreeAppList();
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
    return first && DispatchCommand(first);
}

// Dispatches the next command, or starts the next selected application;
// answers whether the run goes on.
bool AdvanceRun(AppRecord* app)
{
    if (CommandRecord* next = Next(app->commands))
        return DispatchCommand(next);
    AppRecord* nextApp = NextSelectedApp();
    if (!nextApp)
        LogEvent(LogEveryAppDone);
    return nextApp && StartApp(nextApp);
}

// A program cut off while it ran more than MostResumesOfOneCommand times in
// a row takes the machine down each time it runs (it resets the PC): the
// run fails there, with the failure box of a command, instead of
// restarting for ever. False then. Copies and waits cut off by power cuts
// go on as often as they are cut: they can't take the machine down.
bool ResumeAllowed(AppRecord* app, int32_t from)
{
    const uint32_t count = NoteResumeAt(app, from);
    CommandRecord* cmd = CommandAt(app, from);
    if (count <= MostResumesOfOneCommand || !cmd || !CommandHas(cmd->flags, TraitWaitsForProgram))
        return true;
    LogEvent(LogResumedTooOften, static_cast<unsigned long>(count));
    char text[LoadDetailCapacity];
    snprintf(text, sizeof text, MsgCommandFailed, cmd->lineText ? cmd->lineText : cmd->param1);
    char reason[EndMessageCapacity];
    snprintf(reason, sizeof reason,
             "%s at %s line %ld was cut off by a restart %lu times in a row: the run is given up",
             KeywordName(cmd->flags), cmd->infPath, static_cast<long>(cmd->fileLine),
             static_cast<unsigned long>(count));
    // The application fails at that command, as at any command's failure.
    ApplicationFails(app, text, reason);
    ShowError(g_setup.backgroundWindow, text);
    return false;
}

} // namespace

// With nothing selected the run ends at once: the window is never left
// waiting for a tick that no command would arm.
LRESULT OnStartInstall(HWND window)
{
    int32_t from = 0;
    AppRecord* app = nullptr;
    if (g_resume.resumed) {
        // The start is counted before the notice: a cut while it shows cuts
        // no command off.
        app = ResumePoint(&from);
        if (app && !ResumeAllowed(app, from)) {
            EndRun(window);
            return 0;
        }
        ShowTimedNotice(MsgRunContinues, ResumeNoticeMs);
        // Windows may have ended the session while the notice showed.
        if (StopsForRestart()) {
            EndRun(window);
            return 0;
        }
    } else {
        app = FirstSelectedApp();
    }
    if (!app)
        LogEvent(g_resume.resumed ? LogNothingLeftToRun : LogNothingToRun);
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
    CommandRecord* cmd = CurrentCommand();
    if (!cmd)
        return;
    if (timerId == SleepTimer)
        EndSleep(window, cmd);
    if (!IsCommandDone(cmd)) {
        ArmStepTimer(window);
        return;
    }
    AppRecord* app = Current(g_setup.appList);
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
