// Where the engine's dialogs stand.
#include "setup/ui/dialog_position.h"

RECT CentreDialog(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    const int x = (GetSystemMetrics(SM_CXFULLSCREEN) - client.right) / 2;
    const int y = (GetSystemMetrics(SM_CYFULLSCREEN) - client.bottom) / 2;
    SetWindowPos(dialog, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
    return client;
}
