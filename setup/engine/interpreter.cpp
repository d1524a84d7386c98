// The command interpreter.
#include "setup/engine/interpreter.h"

#include "setup/commands/copy_dialog.h"
#include "setup/commands/drive_check.h"
#include "setup/commands/file_commands.h"
#include "setup/commands/process_commands.h"
#include "setup/engine/inf_parser.h"
#include "setup/engine/setup_state.h"

namespace {

using CommandHandler = int (*)(CommandRecord*);

struct HandlerEntry {
    uint32_t code;
    CommandHandler handler;
};

const HandlerEntry kHandlers[] = {
    {CmdProg, ProgCommand},         {CmdEprog, EprogCommand},
    {CmdSleep, SleepCommand},       {CmdMsgbox, MsgboxCommand},
    {CmdAttention, AttentionCommand}, {CmdShellDde, ShellDdeCommand},
    {CmdShutdown, ShutdownCommand}, {CmdCopy, CopyCommand},
    {CmdExpand, ExpandCommand},     {CmdDelete, DeleteCommand},
    {CmdDelall, DelallCommand},     {CmdSetatt, SetattCommand},
    {CmdExist, TestExist},          {CmdXcopy, XcopyCommand},
    {CmdXcopyA, XcopyCommand},
};

void ArmStepTimer(HWND window)
{
    g_setup.stepTimerId = SetTimer(window, StepTimer, g_setup.tickInterval, nullptr);
}

// Frees the list and destroys the window, whose destruction ends the
// program; a window already destroyed by an error box stays so.
void EndRun(HWND window)
{
    FreeAppList();
    DestroyWindow(window);
}

// The current application, or the next one after it, that is selected.
AppRecord* SelectedFrom(AppRecord* app)
{
    while (app && !app->selected)
        app = Next(g_setup.appList);
    return app;
}

// Dispatches the next command, or starts the next selected application;
// answers whether the run goes on.
bool AdvanceRun(AppRecord* app)
{
    if (CommandRecord* next = Next(app->commands))
        return DispatchCommand(next) != 0;
    AppRecord* nextApp = SelectedFrom(Next(g_setup.appList));
    return nextApp && StartApp(nextApp);
}

} // namespace

int StartApp(AppRecord* app)
{
    CommandRecord* first = First(app->commands);
    return first ? DispatchCommand(first) : 0;
}

int DispatchCommand(CommandRecord* cmd)
{
    if ((cmd->flags & (CheckCdromFlag | CheckFdFlag)) && !CheckMedia(cmd))
        return 0;
    const uint32_t code = cmd->flags & CommandCodeMask;
    for (const HandlerEntry& entry : kHandlers) {
        if (entry.code == code)
            return entry.handler(cmd);
    }
    return 0;
}

int IsCommandDone(CommandRecord* cmd)
{
    if (!cmd->busy)
        return 1;
    switch (cmd->flags & CommandCodeMask) {
    case CmdProg: {
        HANDLE process = reinterpret_cast<HANDLE>(cmd->handle);
        // Only a process that is still running keeps the command busy; a
        // handle that can't be waited on counts as ended, so nothing hangs.
        if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
            return 0;
        cmd->busy = 0;
        if (process)
            CloseHandle(process);
        cmd->handle = 0;
        return 1;
    }
    case CmdSleep:
        return 0;
    case CmdExist:
        // Tested again now; the result is seen on the next tick.
        TestExist(cmd);
        return 0;
    default:
        return 1;
    }
}

LRESULT OnStartInstall(HWND window)
{
    AppRecord* app = SelectedFrom(First(g_setup.appList));
    if (!app)
        return 0;
    if (StartApp(app)) {
        ArmStepTimer(window);
        return 1;
    }
    EndRun(window);
    return 0;
}

void OnStepTick(HWND window, UINT_PTR timerId)
{
    KillTimer(window, StepTimer);
    AppRecord* app = Current(g_setup.appList);
    CommandRecord* cmd = app ? Current(app->commands) : nullptr;
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
    if (AdvanceRun(app))
        ArmStepTimer(window);
    else
        EndRun(window);
}
