// From a command record to its handler.
#include "setup/commands/dispatch.h"

#include <windows.h>

#include "setup/commands/copy_dialog.h"
#include "setup/commands/drive_check.h"
#include "setup/commands/file_commands.h"
#include "setup/commands/process_commands.h"
#include "setup/core/inf_line.h"

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

// PROG is done once its process has ended; a handle that can't be waited
// on counts as ended, so nothing hangs.
bool IsProgramDone(CommandRecord* cmd)
{
    HANDLE process = reinterpret_cast<HANDLE>(cmd->handle);
    if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
        return false;
    cmd->busy = 0;
    if (process)
        CloseHandle(process);
    cmd->handle = 0;
    return true;
}

} // namespace

bool DispatchCommand(CommandRecord* cmd)
{
    if ((cmd->flags & (CheckCdromFlag | CheckFdFlag)) && !CheckMedia(cmd))
        return false;
    const uint32_t code = cmd->flags & CommandCodeMask;
    for (const HandlerEntry& entry : Handlers) {
        if (entry.code == code)
            return entry.handler(cmd);
    }
    return false;
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
        return false;
    default:
        return true;
    }
}
