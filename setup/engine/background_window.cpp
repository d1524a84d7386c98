// The background window: creation, destruction, painting, the run's start
// message and ticks, keep-on-top handling and close requests.
#include "setup/engine/background_window.h"

#include "setup/engine/inf_parser.h"
#include "setup/engine/interpreter.h"
#include "setup/engine/messages.h"
#include "setup/engine/setup_state.h"
#include "setup/engine/show_error.h"
#include "setup/resources/resource.h"
#include "setup/ui/background_picture.h"
#include "setup/ui/selection_dialog.h"

namespace {

// Refuses to go on, by closing the window during its creation, when the
// master INF needs administrator rights that the user lacks.
LRESULT OnCreate(HWND window)
{
    if (g_setup.showBackground) {
        char bitmapPath[PathCapacity];
        GetPrivateProfileStringA("QvSetupConfig", "BITMAP", "", bitmapPath, sizeof bitmapPath,
                                 g_setup.masterInfPath);
        if (bitmapPath[0] != '\0')
            g_setup.pictureLoaded = LoadBackgroundPicture(window, bitmapPath, &g_setup.picture);
    }
    if (ProfileIsYes(g_setup.masterInfPath, "Version", "admini") && !g_setup.isAdmin) {
        ShowError(nullptr, kMsgNoAdminRights);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    g_setup.keepOnTop = ProfileIsYes(g_setup.masterInfPath, "QvSetupConfig", "FOREGROUND") ? 1 : 0;
    g_setup.backgroundWindow = window;
    HWND owner = g_setup.showBackground ? window : GetDesktopWindow();
    g_setup.selectionDialog = CreateDialogParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_SELECTION),
                                                 owner, SelectionDialogProc, 0);
    if (g_setup.selectionDialog)
        ShowWindow(g_setup.selectionDialog, SW_SHOW);
    return 0;
}

void OnDestroy()
{
    if (g_setup.pictureLoaded) {
        DeleteObject(g_setup.picture.bitmap);
        DeleteObject(g_setup.picture.palette);
    }
    FreeExcludeList();
    PostQuitMessage(0);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintBackground(dc);
    EndPaint(window, &paint);
}

// Keeps the windows named in [ExcludeForegroundWindow] above the background.
void OnActivateApp(HWND window)
{
    if (!g_setup.keepOnTop)
        return;
    for (WindowTitleNode* node = First(g_setup.excludeList); node; node = Next(g_setup.excludeList)) {
        HWND named = FindWindowA(nullptr, node->title);
        SetWindowPos(named ? named : window, named ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE);
    }
}

// The close command works as the selection dialog's Cancel while
// cancelling is allowed, and does nothing otherwise.
LRESULT OnSysCommand(HWND window, WPARAM command, LPARAM lParam)
{
    if (command != SC_CLOSE)
        return DefWindowProcA(window, WM_SYSCOMMAND, command, lParam);
    if (!g_setup.cancelAllowed)
        return 0;
    return SendMessageA(g_setup.selectionDialog, WM_COMMAND, IDCANCEL, 0);
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
    windowClass.lpszClassName = kBackgroundClass;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateBackgroundWindow(HINSTANCE instance)
{
    return CreateWindowExA(0, kBackgroundClass, g_setup.setupName,
                           WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                           GetDesktopWindow(), nullptr, instance, nullptr);
}

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_TIMER:
        if (wParam == StepTimer || wParam == SleepTimer)
            OnStepTick(window, wParam);
        return 0;
    case WM_START_INSTALL:
        return OnStartInstall(window);
    case WM_ACTIVATEAPP:
        OnActivateApp(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
