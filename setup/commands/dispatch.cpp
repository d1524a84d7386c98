// From a command record to its handler.
#include "setup/commands/dispatch.h"

#include <windows.h>

#include <cstdio>

#include "setup/commands/copy_dialog.h"
#include "setup/commands/drive_check.h"
#include "setup/commands/file_commands.h"
#include "setup/commands/process_commands.h"
#include "setup/core/inf_line.h"
#include "setup/core/log_lines.h"
#include "setup/core/resume.h"
#include "setup/core/run_course.h"
#include "setup/core/setup_log.h"
#include "setup/core/unattended.h"

namespace {


unsigned long Elapsed(const CommandRecord* cmd)
{
    return GetTickCount() - cmd->startTick;
}

constexpr unsigned long MsPerSecond = 1000;
// A session that begins to end this soon after a program started was on
// its way before the program could ask for it.
constexpr unsigned long SessionEndGraceMs = 1000;
// A program that ended (or was started without a wait) this shortly before
// the session began to end may have asked for it: Windows takes a while to
// ask every program whether the session may end.
constexpr unsigned long AnotherProgramMs = 10000;

// The bound on the command's wait that its answer key sets, once the wait
// has run past it; 0 while it has not, or with no bound (a person's run).
uint32_t BoundPassed(const CommandRecord* cmd)
{
    const uint32_t limit = WaitBound(cmd->flags);
    return limit != 0 && Elapsed(cmd) >= limit * MsPerSecond ? limit : 0;
}

const char* BoundKey(const CommandRecord* cmd)
{
    return FactsOf(cmd->flags)->waitLimit.key;
}

// A wait past its bound ends the unattended run: `waiter` ran past it.
void EndPastBound(const CommandRecord* cmd, const char* waiter)
{
    char reason[EndMessageCapacity];
    snprintf(reason, sizeof reason, "%s past %s", waiter, BoundKey(cmd));
    EndUnattendedRun(EndWaitTimedOut, cmd->param1, reason);
}

// A program is left running.
bool ProgramTimedOut(const CommandRecord* cmd)
{
    const uint32_t limit = BoundPassed(cmd);
    if (limit == 0)
        return false;
    LogEvent(LogProgramTimedOut, static_cast<unsigned long>(limit), BoundKey(cmd));
    EndPastBound(cmd, "a program ran");
    return true;
}

// EXIST counts as done, so that the run stops at once.
bool ExistTimedOut(CommandRecord* cmd)
{
    const uint32_t limit = BoundPassed(cmd);
    if (limit == 0)
        return false;
    LogEvent(LogExistTimedOut, static_cast<unsigned long>(limit), BoundKey(cmd));
    EndPastBound(cmd, "EXIST waited");
    cmd->busy = 0;
    return true;
}

void LogProgramEnd(const CommandRecord* cmd, HANDLE process)
{
    DWORD exitCode = 0;
    if (process && GetExitCodeProcess(process, &exitCode))
        LogEvent(LogProgramEnded, Elapsed(cmd), exitCode);
    else
        LogEvent(LogProgramNotWaited);
}

// PROG is done once its process has ended; a handle that can't be waited
// on counts as ended, so nothing hangs.
bool IsProgramDone(CommandRecord* cmd)
{
    HANDLE process = reinterpret_cast<HANDLE>(cmd->handle);
    const bool running = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (running && !ProgramTimedOut(cmd))
        return false;
    // A program still running has run out of time: it is let go.
    if (!running) {
        cmd->endTick = GetTickCount();
        NoteCommandEnded(cmd);
        LogProgramEnd(cmd, process);
    }
    cmd->busy = 0;
    if (process)
        CloseHandle(process);
    cmd->handle = 0;
    return true;
}

void LogStart(const CommandRecord* cmd)
{
    if (!SetupLogIsOn())
        return;
    char command[CommandTextCapacity];
    DescribeCommand(cmd->flags, cmd->param1, cmd->param2, command, sizeof command);
    if (cmd->flags & (CheckCdromFlag | CheckFdFlag))
        LogEvent(LogCheckedCommandStart, command, cmd->checkKey);
    else
        LogEvent(LogCommandStart, command);
    SettleSetupLog();
}

// EXIST, tested again on each tick; its end is seen on the next one.
bool IsPathFound(CommandRecord* cmd)
{
    if (ExistTimedOut(cmd))
        return true;
    TestExist(cmd);
    if (!cmd->busy) {
        NoteCommandEnded(cmd);
        LogEvent(LogExistFound, cmd->param1, Elapsed(cmd));
    }
    return false;
}

// SLEEP is ended by its timer's tick, which clears busy.
bool IsNeverDoneByPolling(CommandRecord*)
{
    return false;
}

// How a busy command is looked at on each tick: true once it is done.
using CommandPoll = bool(CommandRecord* cmd);

struct HandlerEntry {
    uint32_t code;
    CommandHandler* handler;
    CommandPoll* poll;          // null: done once its handler has returned
};

// One row a command, in the command table's order.
constexpr HandlerEntry Handlers[] = {
    {CmdProg, ProgCommand, IsProgramDone},
    {CmdEprog, EprogCommand, nullptr},
    {CmdCopy, CopyCommand, nullptr},
    {CmdExpand, ExpandCommand, nullptr},
    {CmdDelete, DeleteCommand, nullptr},
    {CmdDelall, DelallCommand, nullptr},
    {CmdSetatt, SetattCommand, nullptr},
    {CmdExist, ExistCommand, IsPathFound},
    {CmdSleep, SleepCommand, IsNeverDoneByPolling},
    {CmdMsgbox, MsgboxCommand, nullptr},
    {CmdAttention, AttentionCommand, nullptr},
    {CmdShellDde, ShellDdeCommand, nullptr},
    {CmdShutdown, ShutdownCommand, nullptr},
    {CmdXcopy, XcopyCommand, nullptr},
    {CmdXcopyA, XcopyCommand, nullptr},
};

constexpr bool EveryCommandHasItsHandler()
{
    if (sizeof Handlers / sizeof Handlers[0] != CommandCount)
        return false;
    for (size_t i = 0; i < CommandCount; ++i) {
        if (Handlers[i].code != Commands[i].code || !Handlers[i].handler)
            return false;
    }
    return true;
}
static_assert(EveryCommandHasItsHandler(), "every command of the table has a handler, in the table's order");

const HandlerEntry* HandlerOf(uint32_t code)
{
    for (const HandlerEntry& entry : Handlers) {
        if (entry.code == (code & CommandCodeMask))
            return &entry;
    }
    return nullptr;
}

bool RunHandler(CommandRecord* cmd, const CommandScene& scene)
{
    const HandlerEntry* entry = HandlerOf(cmd->flags);
    return entry && entry->handler(cmd, scene);
}

// A command or its drive check that ended the run without a box: an
// unattended run fails there.
void EndedWithoutMessage(const char* what)
{
    char message[EndMessageCapacity];
    snprintf(message, sizeof message, "%s ended the run without a message", what);
    EndRunSilently(message);
}

} // namespace

// The journal (RESUME=YES) hears of a command before anything else does:
// that it starts before it is logged, and that it ended before its end is
// logged, so that a log line never tells more than the journal knows.
bool DispatchCommand(CommandRecord* cmd, const CommandScene& scene)
{
    NoteCommandStarting(cmd);
    cmd->startTick = GetTickCount();
    LogStart(cmd);
    if ((cmd->flags & (CheckCdromFlag | CheckFdFlag)) && !CheckMedia(cmd, scene)) {
        LogEvent(LogDriveCheckEndedRun);
        EndedWithoutMessage("the drive check");
        return false;
    }
    // The command's own time (a program's, a wait's) starts once its disc is there.
    cmd->startTick = GetTickCount();
    const bool goesOn = RunHandler(cmd, scene);
    if (!goesOn) {
        LogEvent(LogCommandEndedRun, KeywordName(cmd->flags));
        if (!CommandHas(cmd->flags, TraitEndsRunWhenDone) && !StopsForRestart())
            EndedWithoutMessage(KeywordName(cmd->flags));
    } else if (!cmd->busy) {
        cmd->endTick = GetTickCount();
        NoteCommandEnded(cmd);
        LogEvent(LogCommandDone, KeywordName(cmd->flags));
    }
    return goesOn;
}

void EndSleep(HWND window, CommandRecord* cmd)
{
    KillTimer(window, cmd->handle);
    cmd->busy = 0;
    NoteCommandEnded(cmd);
    LogEvent(LogSleepEnded, Elapsed(cmd));
}

bool IsCommandDone(CommandRecord* cmd)
{
    if (!cmd->busy)
        return true;
    const HandlerEntry* entry = HandlerOf(cmd->flags);
    return !entry || !entry->poll || entry->poll(cmd);
}

// True when a program of the run other than `cmd`'s ended, or was started
// without a wait, shortly before `sessionEndTick`.
bool AnotherProgramJustBefore(const Media& media, const CommandRecord* cmd, uint32_t sessionEndTick)
{
    for (const AppRecord* app = media.apps.head; app; app = app->next) {
        for (const CommandRecord* other = app->commands.head; other; other = other->next) {
            if (other != cmd && other->endTick != 0 && CommandHas(other->flags, TraitStartsProgram) &&
                sessionEndTick - other->endTick < AnotherProgramMs)
                return true;
        }
    }
    return false;
}

bool NextProgramWaits(const CommandRecord* ended, const CommandRecord* next)
{
    return JournalKept() && next && CommandHas(next->flags, TraitStartsProgram) && ended->endTick != 0 &&
           CommandHas(ended->flags, TraitWaitsForProgram) && GetTickCount() - ended->endTick < SessionEndGraceMs;
}

void NoteSessionEnd(const Media& media, CommandRecord* cmd, uint32_t sessionEndTick)
{
    if (!cmd || !cmd->busy || !CommandHas(cmd->flags, TraitWaitsForProgram))
        return;
    // Negative when the program started after the session began to end.
    const long ran = static_cast<int32_t>(sessionEndTick - cmd->startTick);
    const char* why = ran < static_cast<long>(SessionEndGraceMs) ? "too soon after its start to have asked for it"
                      : AnotherProgramJustBefore(media, cmd, sessionEndTick)
                          ? "just after another program, which may have asked for it"
                          : nullptr;
    if (why) {
        LogEvent(LogProgramRunsAgain, static_cast<unsigned long>(ran < 0 ? 0 : ran), why);
        return;
    }
    NoteCommandEnded(cmd);
    LogEvent(LogProgramRestarts, static_cast<unsigned long>(ran));
}
