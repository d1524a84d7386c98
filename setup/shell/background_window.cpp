// The background window: creation, destruction, painting, the run's start
// message and ticks, keep-on-top handling and close requests.
#include "setup/shell/background_window.h"

#include "setup/commands/dispatch.h"
#include "setup/commands/process_commands.h"
#include "setup/core/app_collection.h"
#include "setup/core/log_lines.h"
#include "setup/core/memory.h"
#include "setup/core/messages.h"
#include "setup/core/run_course.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_log.h"
#include "setup/resources/resource.h"
#include "setup/shell/interpreter.h"
#include "setup/ui/background_picture.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"
#include "setup/ui/selection_dialog.h"

namespace {

// How long the run holds still after Windows asked whether the session may
// end, when no end and no word that it goes on comes.
constexpr DWORD SessionEndHoldMs = 30000;

// What the window keeps for its lifetime, in its user data.
struct BackgroundState {
    Engine* engine;             // the machine and the media of the run
    BackgroundPicture picture;  // BITMAP; all null when there is none
    DWORD sessionEndTick;       // when Windows first asked whether the session may end; 0: it did not
};

BackgroundState* StateOf(HWND window)
{
    return reinterpret_cast<BackgroundState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Refuses to go on, by closing the window during its creation, when the
// master INF needs administrator rights that the user lacks.
LRESULT OnCreate(HWND window, const CREATESTRUCTA* creation)
{
    auto* engine = static_cast<Engine*>(creation->lpCreateParams);
    if (!engine)
        return -1;
    auto* state = AllocRecord<BackgroundState>();
    if (!state)
        return -1;
    state->engine = engine;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    const SetupConfig& config = engine->media.config;
    if (config.showBackground && config.bitmapPath[0] != '\0')
        LoadBackgroundPicture(window, config.bitmapPath, &state->picture);
    if (config.adminRequired && !engine->machine.isAdmin) {
        NoteEnd(EndNoWindow, MsgNoAdminRights);
        ShowError(nullptr, MsgNoAdminRights);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    g_windows.background = window;
    HWND owner = config.showBackground ? window : GetDesktopWindow();
    // The dialog keeps a copy of the scene; the engine and the attendant
    // live as long as the program.
    const SelectionScene scene = {&engine->machine, &engine->media, &RunAttendant()};
    g_windows.selectionDialog =
        CreateDialogParamA(g_windows.instance, MAKEINTRESOURCEA(IDD_SELECTION), owner,
                           SelectionDialogProc, reinterpret_cast<LPARAM>(&scene));
    // An unattended run answers the dialog unseen; a resumed one takes its journal's choice.
    if (g_windows.selectionDialog && RunAttendant().SeesSelection())
        ShowWindow(g_windows.selectionDialog, SW_SHOW);
    return 0;
}

void OnDestroy(HWND window)
{
    if (BackgroundState* state = StateOf(window)) {
        FreeExcludeList(state->engine->media);
        DeleteBackgroundPicture(&state->picture);
        FreeZeroed(state);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    PostQuitMessage(0);
}

void OnPaint(HWND window)
{
    const BackgroundState* state = StateOf(window);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintBackground(window, dc, state ? state->engine->media.config.backgroundMsg : "",
                    state && state->picture.bitmap ? &state->picture : nullptr);
    EndPaint(window, &paint);
}

// Keeps the windows named in [ExcludeForegroundWindow] above the background.
void OnActivateApp(HWND window)
{
    const BackgroundState* state = StateOf(window);
    if (!state || !state->engine->media.config.keepOnTop)
        return;
    for (const WindowTitleNode* node = state->engine->media.excluded.head; node; node = node->next) {
        HWND named = FindWindowA(nullptr, node->title);
        SetWindowPos(named ? named : window, named ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE);
    }
}

// A close from outside (another program, a task list) ends an unattended
// run with a code of its own; the window goes as it always did.
LRESULT OnClose(HWND window)
{
    if (window == g_windows.background)
        NoteEnd(EndStoppedOutside, "the window was closed from outside");
    return DefWindowProcA(window, WM_CLOSE, 0, 0);
}

// Windows asks whether the session may end: it may, and from now on no
// command starts (a program started now would be taken for the one that
// restarts Windows), until the session ends or goes on.
LRESULT OnQueryEndSession(HWND window)
{
    BackgroundState* state = StateOf(window);
    if (state && state->sessionEndTick == 0) {
        state->sessionEndTick = GetTickCount() | 1;
        LogEvent("Windows asks whether the session may end: no command starts meanwhile");
    }
    return TRUE;
}

// True while the run holds still for a session that is ending.
bool HoldingForSessionEnd(HWND window)
{
    const BackgroundState* state = StateOf(window);
    return state && state->sessionEndTick != 0 && GetTickCount() - state->sessionEndTick < SessionEndHoldMs;
}

// A tick of the run, unless it holds still for a session that is ending:
// the step timer fires again by itself, and a SLEEP's end comes one step
// after the hold.
void OnTick(HWND window, WPARAM timer)
{
    BackgroundState* state = StateOf(window);
    if (!state)
        return;
    if (!HoldingForSessionEnd(window)) {
        OnStepTick(window, timer, *state->engine);
        return;
    }
    if (timer == SleepTimer)
        SetTimer(window, SleepTimer, state->engine->media.config.tickInterval, nullptr);
}

// Windows ends the session, and the process with it: a run with a journal
// goes on when Windows starts again (after the program that asked for the
// restart, when it waits for one); an unattended run without one stops
// here, and its result and log are written now. A session that goes on
// lets the run go on.
void OnEndSession(HWND window, bool ending)
{
    BackgroundState* state = StateOf(window);
    const DWORD began = state && state->sessionEndTick ? state->sessionEndTick : GetTickCount();
    if (state)
        state->sessionEndTick = 0;
    if (!ending)
        return;
    LogEvent(LogSessionEnds);
    if (JournalKept() && state)
        NoteSessionEnd(state->engine->media, state->engine->at.command, began);
    SessionEnding();
}

// The close command works as the selection dialog's Cancel while
// cancelling is allowed, and does nothing otherwise.
LRESULT OnSysCommand(HWND window, WPARAM command, LPARAM lParam)
{
    if (command != SC_CLOSE)
        return DefWindowProcA(window, WM_SYSCOMMAND, command, lParam);
    const BackgroundState* state = StateOf(window);
    if (!state || !state->engine->media.config.cancelAllowed)
        return 0;
    return SendMessageA(g_windows.selectionDialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

bool RegisterBackgroundClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BackgroundWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = BackgroundClass;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateBackgroundWindow(HINSTANCE instance, Engine& engine)
{
    return CreateWindowExA(0, BackgroundClass, engine.media.config.setupName,
                           WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                           GetDesktopWindow(), nullptr, instance, &engine);
}

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_TIMER:
        if (wParam == StepTimer || wParam == SleepTimer)
            OnTick(window, wParam);
        return 0;
    case WM_START_INSTALL: {
        BackgroundState* state = StateOf(window);
        return state ? OnStartInstall(window, *state->engine) : 0;
    }
    case WM_ACTIVATEAPP:
        OnActivateApp(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wParam, lParam);
    case WM_CLOSE:
        return OnClose(window);
    case WM_QUERYENDSESSION:
        return OnQueryEndSession(window);
    case WM_ENDSESSION:
        OnEndSession(window, wParam != FALSE);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
