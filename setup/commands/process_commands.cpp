// Commands that act outside the file system.
#include "setup/commands/process_commands.h"

#include <ddeml.h>

#include <cstring>

#include "setup/commands/command_text.h"
#include "setup/engine/interpreter.h"
#include "setup/engine/messages.h"
#include "setup/engine/setup_state.h"
#include "setup/engine/show_error.h"
#include "setup/resources/resource.h"
#include "setup/ui/dialog_position.h"

namespace {

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
        DdeClientTransaction(reinterpret_cast<BYTE*>(data), 0xFFFFFFFF, conversation, nullptr, 0,
                             XTYP_EXECUTE, 10000, &result);
        DdeDisconnect(conversation);
    }
    if (name)
        DdeFreeStringHandle(instance, name);
}

void EnableShutdownPrivilege()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
    CloseHandle(token);
}

BOOL OnNoticeInit(HWND dialog, CommandRecord* cmd)
{
    g_setup.activeCommand = cmd;
    const RECT client = CentreDialog(dialog);
    UnescapeText(cmd->param1);
    SetDlgItemTextA(dialog, IDC_NOTICE_TEXT, cmd->param1);
    g_setup.noticeClientRect = client;
    int32_t milliseconds = 0;
    if (cmd->param2[0] != '\0') {
        ReadDecimal(cmd->param2, &milliseconds);
        SetTimer(dialog, AttentionTimer, static_cast<UINT>(milliseconds < 0 ? 0 : milliseconds),
                 nullptr);
    }
    return TRUE;
}

void OnNoticeMinMaxInfo(MINMAXINFO* info)
{
    const LONG width = g_setup.noticeClientRect.right - g_setup.noticeClientRect.left;
    const LONG height = g_setup.noticeClientRect.bottom - g_setup.noticeClientRect.top;
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
        return OnNoticeInit(dialog, reinterpret_cast<CommandRecord*>(lParam));
    case WM_GETMINMAXINFO:
        OnNoticeMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return FALSE;
    case WM_TIMER:
        OnNoticeTimer(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int StartProgram(CommandRecord* cmd, int wait)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, cmd->param1, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        cmd->handle = 0;
        cmd->busy = 0;
        ShowErrorWithDetail(g_setup.backgroundWindow, kMsgCommandFailed, cmd->param1);
        return 0;
    }
    CloseHandle(process.hThread);
    if (wait) {
        cmd->busy = 1;
        cmd->handle = reinterpret_cast<uintptr_t>(process.hProcess);
    } else {
        CloseHandle(process.hProcess);
    }
    return 1;
}

int ProgCommand(CommandRecord* cmd)
{
    return StartProgram(cmd, 1);
}

int EprogCommand(CommandRecord* cmd)
{
    return StartProgram(cmd, 0);
}

// A time that is not a number, or negative, sleeps nothing; a timer that
// can't be made lets the run go on at the next tick.
int SleepCommand(CommandRecord* cmd)
{
    int32_t milliseconds = 0;
    if (!ReadDecimal(cmd->param1, &milliseconds) || milliseconds < 0)
        milliseconds = 0;
    cmd->handle = SetTimer(g_setup.backgroundWindow, SleepTimer,
                           static_cast<UINT>(milliseconds), nullptr);
    cmd->busy = cmd->handle ? 1 : 0;
    return 1;
}

int MsgboxCommand(CommandRecord* cmd)
{
    const char* caption = cmd->param2[0] != '\0' ? cmd->param2 : g_setup.setupName;
    UnescapeText(cmd->param1);
    return MessageBoxA(g_setup.backgroundWindow, cmd->param1, caption, MB_OK | MB_ICONINFORMATION);
}

int AttentionCommand(CommandRecord* cmd)
{
    return static_cast<int>(DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_NOTICE),
                                            g_setup.backgroundWindow, AttentionDialogProc,
                                            reinterpret_cast<LPARAM>(cmd)));
}

int ShellDdeCommand(CommandRecord* cmd)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, IgnoreDdeTransaction, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR) {
        SendProgramManagerCommand(instance, cmd->param1);
        DdeUninitialize(instance);
    }
    return 1;
}

// A mode that is empty or not a number restarts, as mode 1 does.
int ShutdownCommand(CommandRecord* cmd)
{
    int32_t mode = 1;
    if (!ReadDecimal(cmd->param2, &mode))
        mode = 1;
    const uint32_t flags = ShutdownFlags(mode);
    if (cmd->param1[0] != '\0') {
        UnescapeText(cmd->param1);
        if (MessageBoxA(g_setup.backgroundWindow, cmd->param1, g_setup.setupName,
                        MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return 1;
    }
    if (g_setup.platformId == VER_PLATFORM_WIN32_NT)
        EnableShutdownPrivilege();
    ExitWindowsEx(flags, 0);
    return 1;
}
