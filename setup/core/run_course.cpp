// The ends of a start of qvsetup, by the run's mode.
#include "setup/core/run_course.h"

#include "setup/core/command_table.h"
#include "setup/core/inf_line.h"
#include "setup/core/log_lines.h"
#include "setup/core/resume.h"
#include "setup/core/setup_log.h"
#include "setup/core/unattended.h"

namespace {

constexpr char RestartingReason[] = "done, Windows restarts";
constexpr char ShuttingDownReason[] = "done, Windows shuts down";
constexpr char PausedReason[] = "done so far, restart needed: the run goes on after the restart";

Attendant* g_attendant = nullptr;

const char* ActionOf(bool restart)
{
    return restart ? "restart" : "shut down";
}

} // namespace

bool AnnounceRun(bool mustLand)
{
    if (!g_unattended.on)
        return true;
    LogEvent("unattended run: no window waits for a person");
    return WriteRunningResult(mustLand);
}

int EndBeforeRun(RunEnd end, const char* why, int interactiveCode, const char* reason)
{
    LogEvent("%s", why);
    if (!g_unattended.on)
        return interactiveCode;
    EndUnattendedRun(end, why, reason);
    return end;
}

WayDown BeginWayDown(bool restart)
{
    return WayDown{restart, g_resume.on};
}

bool RestartAllowed(CommandRecord* cmd, const WayDown& way)
{
    if (!g_unattended.on || g_unattended.answers.restart)
        return true;
    LogEvent("Windows is not to %s (unattended, Restart=NO): a restart is needed", ActionOf(way.restart));
    if (way.journal) {
        NoteCommandEnded(cmd);
        StopForRestart();
    }
    EndUnattendedRun(EndRestartNeeded, "", way.journal ? PausedReason : nullptr);
    return false;
}

void WindowsGoingDown(CommandRecord* cmd, const WayDown& way)
{
    LogEvent(LogWindowsAbout, ActionOf(way.restart));
    if (way.journal) {
        NoteCommandEnded(cmd);
        StopForRestart();
        LogEvent("the run goes on when Windows starts again");
    } else if (g_unattended.on) {
        // Without a journal an unattended run ends here: its result is
        // written before Windows goes down, and nothing more runs that
        // could race the shutdown.
        EndUnattendedRun(EndDone, "", way.restart ? RestartingReason : ShuttingDownReason);
        WriteRunResult();
    }
    FlushSetupLog();
}

bool RunGoesOnWhileWindowsGoesDown(const WayDown& way)
{
    return !way.journal && !g_unattended.on;
}

bool RunGoesOnAfterRefusal(const WayDown& way, DWORD error)
{
    LogEvent("Windows refused to %s (error %lu)", ActionOf(way.restart), static_cast<unsigned long>(error));
    if (way.journal) {
        // The session ended while the question showed: the journal stands
        // for the restart it announced, and the run stops as it said; going
        // on without a journal would leave it to run these commands again.
        if (!g_resume.on)
            return false;
        RestartRefused();
        return true;
    }
    if (g_unattended.on)
        NoteRestartRefused();
    return !g_unattended.on;
}

void SessionEnding()
{
    if (g_resume.on) {
        StopForRestart();
        EndJournal();
    } else if (g_unattended.on) {
        EndUnattendedRun(EndStoppedOutside, "Windows ended the session");
        WriteRunResult(ResultWait::None);
    }
    FlushSetupLog();
}

void NoteEnd(RunEnd end, const char* message)
{
    if (g_unattended.on)
        EndUnattendedRun(end, message);
}

bool BoxAnsweredUnseen(const char* text, UINT style)
{
    if (!g_unattended.on)
        return false;
    LogEvent("box answered: OK (unattended, not shown)");
    if ((style & MB_ICONMASK) == MB_ICONERROR)
        EndUnattendedRun(g_unattended.commandsStarted ? EndCommandFailed : EndLoadFailed, text);
    return true;
}

void AttendRun(Attendant& person, Attendant& answers)
{
    g_attendant = g_unattended.on ? &answers : &person;
}

void AttendFromJournal(Attendant& replay)
{
    g_attendant = &replay;
}

void RunWorksOn(Machine& machine, Media& media, const RunPosition& at)
{
    JournalWorksOn(machine, media);
    g_unattended.at = &at;
}

// Set by AttendRun before anything is asked: a question before it is a
// fault of the start-up, which the null makes plain at once.
Attendant& RunAttendant()
{
    return *g_attendant;
}

void ChoiceMade(const Media& media)
{
    if (g_unattended.on)
        NoteChoice(media);
    else
        RecordChoice(media.apps);
}

void JournalBegins()
{
    BeginJournal(g_unattended.answerFile);
}

void ApplicationStarts(AppRecord* app)
{
    if (g_unattended.on)
        NoteAppStart(app);
}

void ApplicationFails(AppRecord* app, const CommandRecord* cmd, const char* text,
                      const char* reason)
{
    if (!g_unattended.on)
        return;
    NoteAppStart(app);
    const bool firstEnd = !g_unattended.ended;
    EndUnattendedRun(EndCommandFailed, text, reason);
    // The run does not stand at the command yet: its start is refused.
    if (firstEnd && cmd)
        NoteFailedCommand(cmd);
}

uint32_t WaitBound(uint32_t code)
{
    return g_unattended.on ? WaitLimitSeconds(code, g_unattended.answers) : 0;
}

DWORD ProgramErrorMode()
{
    return g_unattended.on ? CREATE_DEFAULT_ERROR_MODE : 0;
}

bool NoticeTakenAsClosed(char* text)
{
    if (!g_unattended.on)
        return false;
    UnescapeText(text);
    LogEvent("notice without a time, taken as closed (unattended): %s", text);
    return true;
}

bool JournalKept()
{
    return g_resume.on;
}

bool StopsForRestart()
{
    return g_resume.stopsForRestart;
}

bool RunStops()
{
    return g_unattended.ended || g_resume.stopsForRestart;
}

int FinishCourse(int exitCode)
{
    // A run that stops for a restart and goes on after it has no result yet.
    // The journal goes only once the result is written: a power cut in
    // between finds the journal, and the run ends again.
    if (g_unattended.on) {
        exitCode = UnattendedExitCode();
        if (!g_resume.stopsForRestart || g_unattended.ended)
            WriteRunResult();
    }
    EndJournal();
    LogEvent(LogExitCode, exitCode);
    FinishSetupLog();
    // The machine, the media and the position are the caller's: nothing
    // here holds on to them past the course.
    g_resume.machine = nullptr;
    g_resume.media = nullptr;
    g_unattended.at = nullptr;
    return exitCode;
}
