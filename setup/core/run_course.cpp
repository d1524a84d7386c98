// The ends of a start of qvsetup, by the run's mode.
#include "setup/core/run_course.h"

#include "setup/core/command_table.h"
#include "setup/core/inf_line.h"
#include "setup/core/log_lines.h"
#include "setup/core/resume.h"
#include "setup/core/setup_log.h"
#include "setup/core/setup_state.h"
#include "setup/core/unattended.h"

namespace {

constexpr char RestartingReason[] = "done, Windows restarts";
constexpr char ShuttingDownReason[] = "done, Windows shuts down";
constexpr char PausedReason[] = "done so far, restart needed: the run goes on after the restart";

const char* ActionOf(bool restart)
{
    return restart ? "restart" : "shut down";
}

} // namespace

bool AnnounceRun(bool mustLand)
{
    if (!g_setup.unattended.on)
        return true;
    LogEvent("unattended run: no window waits for a person");
    return WriteRunningResult(mustLand);
}

int EndBeforeRun(RunEnd end, const char* why, int interactiveCode, const char* reason)
{
    LogEvent("%s", why);
    if (!g_setup.unattended.on)
        return interactiveCode;
    EndUnattendedRun(end, why, reason);
    return end;
}

bool RestartAllowed(CommandRecord* cmd, bool restart)
{
    if (!g_setup.unattended.on || g_setup.unattended.answers.restart)
        return true;
    LogEvent("Windows is not to %s (unattended, Restart=NO): a restart is needed", ActionOf(restart));
    const bool journal = g_setup.resume.on;
    if (journal) {
        NoteCommandEnded(cmd);
        StopForRestart();
    }
    EndUnattendedRun(EndRestartNeeded, "", journal ? PausedReason : nullptr);
    return false;
}

void WindowsGoingDown(CommandRecord* cmd, bool restart)
{
    LogEvent(LogWindowsAbout, ActionOf(restart));
    if (g_setup.resume.on) {
        NoteCommandEnded(cmd);
        StopForRestart();
        LogEvent("the run goes on when Windows starts again");
    } else if (g_setup.unattended.on) {
        // Without a journal an unattended run ends here: its result is
        // written before Windows goes down, and nothing more runs that
        // could race the shutdown.
        EndUnattendedRun(EndDone, "", restart ? RestartingReason : ShuttingDownReason);
        WriteRunResult();
    }
    FlushSetupLog();
}

bool RunGoesOnWhileWindowsGoesDown()
{
    return !g_setup.resume.on && !g_setup.unattended.on;
}

bool RunGoesOnAfterRefusal()
{
    if (g_setup.resume.on) {
        RestartRefused();
        return true;
    }
    if (g_setup.unattended.on)
        NoteRestartRefused();
    return !g_setup.unattended.on;
}

void SessionEnding()
{
    if (g_setup.resume.on) {
        StopForRestart();
        EndJournal();
    } else if (g_setup.unattended.on) {
        EndUnattendedRun(EndStoppedOutside, "Windows ended the session");
        WriteRunResult(ResultWait::None);
    }
    FlushSetupLog();
}

void NoteEnd(RunEnd end, const char* message)
{
    if (g_setup.unattended.on)
        EndUnattendedRun(end, message);
}

bool BoxAnsweredUnseen(const char* text, UINT style)
{
    if (!g_setup.unattended.on)
        return false;
    LogEvent("box answered: OK (unattended, not shown)");
    if ((style & MB_ICONMASK) == MB_ICONERROR)
        EndUnattendedRun(g_setup.unattended.commandsStarted ? EndCommandFailed : EndLoadFailed, text);
    return true;
}

bool SelectionSeen()
{
    return !g_setup.unattended.on && !g_setup.resume.resumed;
}

void ChoiceMade(const NodeList<AppRecord>& apps)
{
    if (g_setup.unattended.on)
        NoteChoice(apps);
    else
        RecordChoice(apps);
}

void ApplicationStarts(AppRecord* app)
{
    if (g_setup.unattended.on)
        NoteAppStart(app);
}

void ApplicationFails(AppRecord* app, const char* text, const char* reason)
{
    if (!g_setup.unattended.on)
        return;
    NoteAppStart(app);
    EndUnattendedRun(EndCommandFailed, text, reason);
}

uint32_t WaitBound(uint32_t code)
{
    return g_setup.unattended.on ? WaitLimitSeconds(code, g_setup.unattended.answers) : 0;
}

DWORD ProgramErrorMode()
{
    return g_setup.unattended.on ? CREATE_DEFAULT_ERROR_MODE : 0;
}

bool NoticeTakenAsClosed(char* text)
{
    if (!g_setup.unattended.on)
        return false;
    UnescapeText(text);
    LogEvent("notice without a time, taken as closed (unattended): %s", text);
    return true;
}

bool StopsForRestart()
{
    return g_setup.resume.stopsForRestart;
}

bool RunStops()
{
    return g_setup.unattended.ended || g_setup.resume.stopsForRestart;
}

int FinishCourse(int exitCode)
{
    // A run that stops for a restart and goes on after it has no result yet.
    // The journal goes only once the result is written: a power cut in
    // between finds the journal, and the run ends again.
    if (g_setup.unattended.on) {
        exitCode = UnattendedExitCode();
        if (!g_setup.resume.stopsForRestart || g_setup.unattended.ended)
            WriteRunResult();
    }
    EndJournal();
    LogEvent(LogExitCode, exitCode);
    FinishSetupLog();
    return exitCode;
}
