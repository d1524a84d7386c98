// The application selection dialog: offers the applications of the
// installation folder and hands the chosen ones to the background window.
#pragma once

#include <windows.h>

// Posted to the background window with the chosen list in appList: run it.
constexpr UINT WM_START_INSTALL = WM_USER + 1;

INT_PTR CALLBACK SelectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
