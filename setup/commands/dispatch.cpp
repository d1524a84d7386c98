// From a command record to its handler.
#include "setup/commands/dispatch.h"

#include <windows.h>

#include "setup/commands/copy_dialog.h"
#include "setup/commands/drive_check.h"
#include "setup/commands/file_commands.h"
#include "setup/commands/process_commands.h"
#include "setup/core/inf_line.h"
#include "setup/core/setup_log.h"
#include "setup/core/setup_state.h"

namespace {

struct HandlerEntry {
    uint32_t code;
    CommandHandler* handler;
};

const HandlerEntry Handlers[] = {
    {CmdProg, ProgCommand},         {CmdEprog, EprogCommand},
    {CmdSleep, SleepCommand},       {CmdMsgbox, MsgboxCommand},
    {CmdAttention, AttentionCommand}, {CmdShellDde, ShellDdeCommand},
    {CmdShutdown, ShutdownCommand}, {CmdCopy, CopyCommand},
    {CmdExpand, ExpandCommand},     {CmdDelete, DeleteCommand},
    {CmdDelall, DelallCommand},     {CmdSetatt, SetattCommand},
    {CmdExist, TestExist},          {CmdXcopy, XcopyCommand},
    {CmdXcopyA, XcopyCommand},
};


unsigned long Elapsed(const CommandRecord* cmd)
{
    return GetTickCount() - cmd->startTick;
}

// In an unattended run, a program that runs past ProgTimeout ends the run;
// it is left running.
bool ProgramTimedOut(const CommandRecord* cmd)
{
    const uint32_t limit = g_setup.unattended.answers.progTimeoutSeconds;
    if (!g_setup.unattended.on || limit == 0 || Elapsed(cmd) < limit * 1000UL)
        return false;
    LogEvent("PROG's program still runs after %lu s (ProgTimeout): it is left running",
             static_cast<unsigned long>(limit));
    EndUnattendedRun(EndProgTimedOut, cmd->param1);
    return true;
}

void LogProgramEnd(const CommandRecord* cmd, HANDLE process)
{
    DWORD exitCode = 0;
    if (process && GetExitCodeProcess(process, &exitCode))
        LogEvent("PROG's program ended after %lu ms with exit code %lu", Elapsed(cmd), exitCode);
    else
        LogEvent("PROG's program can't be waited for: the run goes on");
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
    if (!running)
        LogProgramEnd(cmd, process);
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
        LogEvent("command %s, drive check %s", command, cmd->checkKey);
    else
        LogEvent("command %s", command);
    SettleSetupLog();
}

bool RunHandler(CommandRecord* cmd)
{
    const uint32_t code = cmd->flags & CommandCodeMask;
    for (const HandlerEntry& entry : Handlers) {
        if (entry.code == code)
            return entry.handler(cmd);
    }
    return false;
}

} // namespace

bool DispatchCommand(CommandRecord* cmd)
{
    cmd->startTick = GetTickCount();
    LogStart(cmd);
    if ((cmd->flags & (CheckCdromFlag | CheckFdFlag)) && !CheckMedia(cmd)) {
        LogEvent("the drive check ended the run");
        return false;
    }
    const bool goesOn = RunHandler(cmd);
    if (!goesOn)
        LogEvent("%s ended the run", KeywordName(cmd->flags));
    else if (!cmd->busy)
        LogEvent("%s done", KeywordName(cmd->flags));
    return goesOn;
}

void EndSleep(HWND window, CommandRecord* cmd)
{
    KillTimer(window, cmd->handle);
    cmd->busy = 0;
    LogEvent("SLEEP ended after %lu ms", Elapsed(cmd));
}

bool IsCommandDone(CommandRecord* cmd)
{
    if (!cmd->busy)
        return true;
    switch (cmd->flags & CommandCodeMask) {
    case CmdProg:
        return IsProgramDone(cmd);
    case CmdSleep:
        // Ended by its timer's tick, which clears busy.
        return false;
    case CmdExist:
        // Tested again now; the result is seen on the next tick.
        TestExist(cmd);
        if (!cmd->busy)
            LogEvent("EXIST found %s after %lu ms", cmd->param1, Elapsed(cmd));
        return false;
    default:
        return true;
    }
}
