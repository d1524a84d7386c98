// Where the engine's dialogs stand: centred on the full-screen work area.
#pragma once

#include <windows.h>

// Moves the dialog, unsized and to the top, so that its client area is
// centred on the full-screen work area (divisions truncating); answers the
// client rectangle it measured.
RECT CentreDialog(HWND dialog);
