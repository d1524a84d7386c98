// The application selection dialog: collects the applications of the
// installation folder and hands the chosen ones to the interpreter.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SelectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Frees the [ExcludeForegroundWindow] captions that the dialog read.
void FreeExcludeList();
