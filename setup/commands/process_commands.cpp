// Commands that act outside the file system.
#include "setup/commands/process_commands.h"

#include <ddeml.h>

#include <cstdio>
#include <cstring>

#include "common/owners.h"
#include "setup/core/command_text.h"
#include "setup/core/log_lines.h"
#include "setup/core/messages.h"
#include "setup/core/resume.h"
#include "setup/core/run_course.h"
#include "setup/core/setup_log.h"
#include "setup/resources/resource.h"
#include "setup/ui/dialog_position.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"

namespace {

constexpr DWORD DdeTimeoutMs = 10000;
constexpr DWORD DdeDataIsHandle = 0xFFFFFFFF;   // the transaction's data is a data handle
constexpr int32_t RestartMode = 1;              // SHUTDOWN's mode when none is given

// The notice's record: its command and the client size it keeps.
struct Notice {
    CommandRecord* cmd;
    RECT client;
};

Notice* NoticeOf(HWND dialog)
{
    return reinterpret_cast<Notice*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HDDEDATA CALLBACK IgnoreDdeTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// Sends one execute string to Program Manager; whatever fails is ignored.
void SendProgramManagerCommand(DWORD instance, char* command)
{
    HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, name, name, nullptr);
    if (conversation) {
        HDDEDATA data = DdeCreateDataHandle(instance, reinterpret_cast<BYTE*>(command),
                                            static_cast<DWORD>(strlen(command) + 1), 0, nullptr,
                                            CF_TEXT, 0);
        DWORD result = 0;
        DdeClientTransaction(reinterpret_cast<BYTE*>(data), DdeDataIsHandle, conversation, nullptr,
                             0, XTYP_EXECUTE, DdeTimeoutMs, &result);
        DdeDisconnect(conversation);
    }
    if (name)
        DdeFreeStringHandle(instance, name);
}

void EnableShutdownPrivilege()
{
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.Receive()))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr);
}

BOOL OnNoticeInit(HWND dialog, Notice* notice)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(notice));
    CommandRecord* cmd = notice->cmd;
    const RECT client = CentreDialog(dialog);
    UnescapeText(cmd->param1);
    SetDlgItemTextA(dialog, IDC_NOTICE_TEXT, cmd->param1);
    notice->client = client;
    int32_t milliseconds = 0;
    if (cmd->param2[0] != '\0') {
        ReadDecimal(cmd->param2, &milliseconds);
        SetTimer(dialog, AttentionTimer, static_cast<UINT>(milliseconds < 0 ? 0 : milliseconds),
                 nullptr);
    }
    return TRUE;
}

void OnNoticeMinMaxInfo(const Notice& notice, MINMAXINFO* info)
{
    const LONG width = notice.client.right - notice.client.left;
    const LONG height = notice.client.bottom - notice.client.top;
    info->ptMinTrackSize = POINT{width, height};
    info->ptMaxTrackSize = POINT{width, height};
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

void OnNoticeTimer(HWND dialog)
{
    KillTimer(dialog, AttentionTimer);
    EndDialog(dialog, 0);
}

// The notice: no buttons; it closes only when its display time is up.
INT_PTR CALLBACK AttentionDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnNoticeInit(dialog, reinterpret_cast<Notice*>(lParam));
    case WM_GETMINMAXINFO:
        if (const Notice* notice = NoticeOf(dialog))
            OnNoticeMinMaxInfo(*notice, reinterpret_cast<MINMAXINFO*>(lParam));
        return FALSE;
    case WM_TIMER:
        OnNoticeTimer(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

bool StartProgram(CommandRecord* cmd, ProgramWait wait)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // A program of an unattended run shows the system's error boxes as it
    // would in a person's run: the run's own error mode is not handed on.
    const DWORD creation = ProgramErrorMode();
    if (!CreateProcessA(nullptr, cmd->param1, nullptr, nullptr, TRUE, creation, nullptr, nullptr,
                        &startup, &process)) {
        cmd->handle = 0;
        cmd->busy = 0;
        ShowCommandFailure(g_windows.background, *cmd);
        return false;
    }
    const KernelHandle thread(process.hThread);
    KernelHandle program(process.hProcess);
    // PROG keeps the process to wait for, until IsCommandDone lets it go.
    if (wait == ProgramWait::UntilEnd) {
        cmd->busy = 1;
        cmd->handle = reinterpret_cast<uintptr_t>(program.Release());
    }
    return true;
}

bool ProgCommand(CommandRecord* cmd, const CommandScene&)
{
    return StartProgram(cmd, ProgramWait::UntilEnd);
}

bool EprogCommand(CommandRecord* cmd, const CommandScene&)
{
    return StartProgram(cmd, ProgramWait::None);
}

// A time that is not a number, or negative, sleeps nothing; a timer that
// can't be made lets the run go on at the next tick.
bool SleepCommand(CommandRecord* cmd, const CommandScene&)
{
    int32_t milliseconds = 0;
    if (!ReadDecimal(cmd->param1, &milliseconds) || milliseconds < 0)
        milliseconds = 0;
    cmd->handle = SetTimer(g_windows.background, SleepTimer,
                           static_cast<UINT>(milliseconds), nullptr);
    cmd->busy = cmd->handle ? 1 : 0;
    return true;
}

// A box that can't be shown answers 0, and the run ends.
bool MsgboxCommand(CommandRecord* cmd, const CommandScene& scene)
{
    const char* caption = cmd->param2[0] != '\0' ? cmd->param2 : scene.media.config.setupName;
    UnescapeText(cmd->param1);
    return ShowBox(g_windows.background, cmd->param1, caption, MB_OK | MB_ICONINFORMATION) != 0;
}

// The notice ends with 0 when its time is up, which ends the run; a notice
// that can't be created answers -1, and the run goes on.
void ShowTimedNotice(const char* text, int32_t milliseconds)
{
    CommandRecord notice = {};
    snprintf(notice.param1, sizeof notice.param1, "%s", text);
    snprintf(notice.param2, sizeof notice.param2, "%ld", static_cast<long>(milliseconds));
    Notice record = {&notice, RECT{}};
    DialogBoxParamA(g_windows.instance, MAKEINTRESOURCEA(IDD_NOTICE), g_windows.background,
                    AttentionDialogProc, reinterpret_cast<LPARAM>(&record));
}

bool AttentionCommand(CommandRecord* cmd, const CommandScene&)
{
    // A notice without a time never closes by itself.
    if (cmd->param2[0] == '\0' && NoticeTakenAsClosed(cmd->param1))
        return false;
    Notice notice = {cmd, RECT{}};
    return DialogBoxParamA(g_windows.instance, MAKEINTRESOURCEA(IDD_NOTICE), g_windows.background,
                           AttentionDialogProc, reinterpret_cast<LPARAM>(&notice)) != 0;
}

bool ShellDdeCommand(CommandRecord* cmd, const CommandScene&)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, IgnoreDdeTransaction, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR) {
        SendProgramManagerCommand(instance, cmd->param1);
        DdeUninitialize(instance);
    }
    return true;
}

// A mode that is empty or not a number restarts, as mode 1 does. With a
// journal (RESUME=YES) the run goes on after the restart from the next
// command, and this process runs nothing more; without one, an unattended
// run ends here.
bool ShutdownCommand(CommandRecord* cmd, const CommandScene& scene)
{
    int32_t mode = RestartMode;
    if (!ReadDecimal(cmd->param2, &mode))
        mode = RestartMode;
    const uint32_t flags = ShutdownFlags(mode);
    const WayDown way = BeginWayDown((flags & EWX_REBOOT) != 0);
    if (!RestartAllowed(cmd, way))
        return false;
    if (cmd->param1[0] != '\0') {
        UnescapeText(cmd->param1);
        if (ShowBox(g_windows.background, cmd->param1, scene.media.config.setupName,
                    MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return true;
    }
    if (scene.machine.platformId == VER_PLATFORM_WIN32_NT)
        EnableShutdownPrivilege();
    WindowsGoingDown(cmd, way);
    if (ExitWindowsEx(flags, 0))
        return RunGoesOnWhileWindowsGoesDown(way);
    return RunGoesOnAfterRefusal(way, GetLastError());
}
