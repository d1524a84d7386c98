// The disc check before commands that use %CDROM% or %FD%.
#include "setup/commands/drive_check.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "setup/commands/drive_check_rules.h"
#include "setup/core/attendant.h"
#include "setup/core/inf_line.h"
#include "setup/core/log_lines.h"
#include "setup/core/messages.h"
#include "setup/core/setup_log.h"
#include "setup/core/paths.h"
#include "setup/core/run_course.h"
#include "setup/core/unattended.h"
#include "setup/core/startup.h"
#include "setup/resources/resource.h"
#include "setup/ui/dialog_position.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"
#include "setup/ui/message_pump.h"

namespace {

// The key of the last check that succeeded, per kind of drive: a command
// whose key is the same does not probe again.
struct DriveCheckMemory {
    char lastCdromKey[CheckKeyCapacity];
    char lastFdKey[CheckKeyCapacity];
};

DriveCheckMemory g_driveChecks;

// Lists the CD-ROM and network drives, in the platform's order, the first
// one selected.
void FillDriveList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    char roots[DriveListCapacity];
    ReadDriveList(roots);
    for (const char* root = roots; *root; root += strlen(root) + 1) {
        const UINT type = GetDriveTypeA(root);
        if (type != DRIVE_REMOTE && type != DRIVE_CDROM)
            continue;
        char entry[4];
        snprintf(entry, sizeof entry, "%c:", root[0]);
        SendMessageA(list, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(entry));
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

BOOL OnDriveDialogInit(HWND dialog)
{
    SetWindowTextA(dialog, g_windows.caption);
    MessageBeep(MB_ICONQUESTION);
    CentreDialog(dialog);
    FillDriveList(dialog);
    return TRUE;
}

constexpr size_t DriveNameCapacity = 16;

// What the drive dialog ends with when no drive is chosen; a chosen one
// ends it with its letter.
constexpr INT_PTR NoDriveChosen = 0;

// OK takes the selected drive: the dialog ends with its letter. With
// nothing selected (an empty list, or typed text that names no entry) no
// drive is defined: the dialog stays.
void OnDriveChosen(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected < 0 ||
        SendMessageA(list, CB_GETLBTEXTLEN, selected, 0) >= static_cast<LRESULT>(DriveNameCapacity))
        return;
    char drive[DriveNameCapacity] = {};
    SendMessageA(list, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(drive));
    const char letter[] = {drive[0], '\0'};
    RecordAnswer("CdromDrive", letter);
    EndDialog(dialog, static_cast<unsigned char>(drive[0]));
}

constexpr DWORD NetworkDialogCancelled = 0xFFFFFFFF;

void OnNetworkButton(HWND dialog)
{
    const DWORD result = WNetConnectionDialog(dialog, RESOURCETYPE_DISK);
    if (result == NO_ERROR)
        FillDriveList(dialog);
    else if (result != NetworkDialogCancelled)
        ShowBox(dialog, MsgNoNetwork, g_windows.caption, MB_ICONERROR);
}

INT_PTR CALLBACK DriveSelectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnDriveDialogInit(dialog);
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        if (LOWORD(wParam) == IDOK)
            OnDriveChosen(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, NoDriveChosen);
        else if (LOWORD(wParam) == IDC_NETWORK)
            OnNetworkButton(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

void PutCdromLetter(CommandRecord* cmd, char letter)
{
    ReplaceChar(cmd->param1, CdromPlaceholder, letter);
    ReplaceChar(cmd->param2, CdromPlaceholder, letter);
}

// Looks for the probe file with no system error box for an empty drive.
bool ProbeFound(const char* path)
{
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    const bool found = AnythingMatches(path);
    SetErrorMode(previous);
    return found;
}

// Lets the windows paint and tick for `milliseconds` while a wait goes on;
// false when the program is to end (the quit message is left for the loop).
bool HandleMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < milliseconds; passed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_ALLINPUT);
        if (!DispatchWaitingMessages())
            return false;
    }
    return true;
}

// Asks `found` four times a second until it answers true, the answers' DiscWait
// has passed, or the program is to end; true when it answered true.
template <typename Probe>
bool WaitForDisc(Probe found)
{
    const DWORD waitMs = g_unattended.answers.discWaitSeconds * DiscWaitMsPerSecond;
    const DWORD start = GetTickCount();
    while (!found()) {
        if (GetTickCount() - start >= waitMs || !HandleMessagesFor(DiscProbeIntervalMs))
            return false;
    }
    return true;
}

// The first CD-ROM drive whose disc holds the check's probe file becomes
// the CD-ROM drive of `machine`.
bool FindDiscDrive(const CommandRecord* cmd, Machine& machine)
{
    return WaitForDisc([cmd, &machine] {
        char roots[DriveListCapacity];
        ReadDriveList(roots);
        for (const char* root = roots; *root; root += strlen(root) + 1) {
            DiscProbe probe;
            if (GetDriveTypeA(root) == DRIVE_CDROM &&
                SplitCheckValue(cmd->checkEntry->value, root[0], MacroValuesOf(machine), &probe) &&
                ProbeFound(probe.path)) {
                machine.cdromLetter = root[0];
                return true;
            }
        }
        return false;
    });
}

} // namespace

bool AnswerCdromDrive(CommandRecord* cmd, Machine& machine)
{
    const char answer = g_unattended.answers.cdromDrive;
    DiscProbe probe = {};
    if (answer != AutoDrive) {
        machine.cdromLetter = answer;
    } else if (!SplitCheckValue(cmd->checkEntry->value, CdromPlaceholder, MacroValuesOf(machine),
                                &probe)) {
        return false;
    } else if (!FindDiscDrive(cmd, machine)) {
        LogEvent("no CD-ROM drive holds the disc of %s (unattended, CdromDrive=AUTO)", cmd->checkKey);
        UnescapeText(probe.prompt);
        EndUnattendedRun(EndNoDisc, probe.prompt);
        return false;
    }
    LogEvent("drive %c: taken (unattended)", machine.cdromLetter);
    PutCdromLetter(cmd, machine.cdromLetter);
    return true;
}

bool AskCdromDrive(CommandRecord* cmd, Machine& machine)
{
    LogEvent("no CD-ROM drive is known: the drive is asked for");
    const INT_PTR chosen = DialogBoxParamA(g_windows.instance, MAKEINTRESOURCEA(IDD_DRIVE),
                                           g_windows.background, DriveSelectDialogProc, 0);
    // Cancel, a dialog that can't be made (-1), or a quit while it showed.
    if (chosen <= NoDriveChosen || chosen > 0xFF) {
        LogEvent("no drive chosen");
        ShowError(g_windows.background, MsgNoCdromDrive);
        return false;
    }
    machine.cdromLetter = static_cast<char>(chosen);
    LogEvent("drive %c: chosen", machine.cdromLetter);
    PutCdromLetter(cmd, machine.cdromLetter);
    return true;
}

DiscAnswer AwaitCheckedDisc(CommandRecord* cmd, const DiscProbe& probe)
{
    if (WaitForDisc([&probe] { return ProbeFound(probe.path); }))
        return DiscAnswer::Found;
    LogEvent("drive check %s: no disc within %lu s (unattended)", cmd->checkKey,
             static_cast<unsigned long>(g_unattended.answers.discWaitSeconds));
    EndUnattendedRun(EndNoDisc, probe.prompt);
    return DiscAnswer::EndRun;
}

DiscAnswer PromptForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style)
{
    while (!ProbeFound(probe.path)) {
        const int answer = ShowBox(g_windows.background, probe.prompt, PromptCaption, style);
        switch (ActOnPromptAnswer(answer)) {
        case PromptAction::EndRun:
            return DiscAnswer::EndRun;
        case PromptAction::RunWithoutCheck:
            LogEvent("drive check %s ignored: the command runs without it", cmd->checkKey);
            return DiscAnswer::RunWithoutCheck;
        case PromptAction::ProbeAgain:
            break;
        }
    }
    return DiscAnswer::Found;
}

bool CheckMedia(CommandRecord* cmd, const CommandScene& scene)
{
    Machine& machine = scene.machine;
    const bool cdrom = (cmd->flags & CheckCdromFlag) != 0;
    char* lastKey = cdrom ? g_driveChecks.lastCdromKey : g_driveChecks.lastFdKey;
    if (cdrom)
        PutCdromLetter(cmd, machine.cdromLetter);
    if (strcmp(cmd->checkKey, lastKey) == 0)
        return true;
    if (cdrom && machine.cdromLetter == CdromPlaceholder &&
        !scene.attendant.TakesCdromDrive(cmd, machine))
        return false;

    DiscProbe probe;
    if (!SplitCheckValue(cmd->checkEntry->value, cdrom ? machine.cdromLetter : machine.fdLetter,
                         MacroValuesOf(machine), &probe))
        return false;
    UnescapeText(probe.prompt);
    const UINT style = PromptStyle(probe.buttonSet);
    LogEvent(LogLookingFor, cmd->checkKey, probe.path);
    switch (scene.attendant.WaitsForCheckedDisc(cmd, probe, style)) {
    case DiscAnswer::EndRun:
        return false;
    case DiscAnswer::RunWithoutCheck:
        return true;
    case DiscAnswer::Found:
        break;
    }
    LogEvent("drive check %s: found", cmd->checkKey);
    memcpy(lastKey, cmd->checkKey, CheckKeyCapacity);
    return true;
}
