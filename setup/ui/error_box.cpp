// The engine's error box.
#include "setup/ui/error_box.h"

#include <cstdio>

#include "setup/core/run_course.h"
#include "setup/core/setup_log.h"
#include "setup/ui/engine_windows.h"

namespace {

// Room for the longest message and a full path; snprintf cuts, never overruns.
constexpr size_t ErrorTextCapacity = LoadDetailCapacity;

const char* ButtonName(int answer)
{
    switch (answer) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "none (the box could not be shown)";
    }
}

} // namespace

int ShowBox(HWND owner, const char* text, const char* caption, UINT style)
{
    LogEvent("box \"%s\": %s", caption, text);
    if (BoxAnsweredUnseen(text, style))
        return IDOK;
    SettleSetupLog();
    const int answer = MessageBoxA(owner, text, caption, style);
    LogEvent("box answered: %s", ButtonName(answer));
    return answer;
}

void ShowError(HWND owner, const char* text, const char* caption)
{
    ShowBox(owner, text, caption ? caption : g_windows.caption, MB_OK | MB_ICONERROR);
}

void ShowErrorWithDetail(HWND owner, const char* format, const char* detail)
{
    char text[ErrorTextCapacity];
    snprintf(text, sizeof text, format, detail);
    ShowError(owner, text);
}

bool ShowCommandFailure(HWND owner, const CommandRecord& cmd)
{
    const CommandFacts* facts = FactsOf(cmd.flags);
    if (facts && facts->failureBox)
        ShowErrorWithDetail(owner, facts->failureBox, FailureDetail(cmd.flags, cmd.param1, cmd.param2));
    return false;
}

void ShowLoadError(HWND owner, const LoadError& error)
{
    char text[ErrorTextCapacity];
    FormatLoadMessage(error, text, sizeof text);
    ShowError(owner, text);
}
