// The application selection dialog: offers the applications of the
// installation folder and hands the chosen ones to the background window.
#pragma once

#include <windows.h>

// Posted to the background window with the chosen list in appList: run it.
constexpr UINT WM_START_INSTALL = WM_USER + 1;

INT_PTR CALLBACK SelectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The choice made without the dialog being seen, Install or Cancel pressed
// before the dialog is ever shown (its template makes it visible once
// initialised). The answers of an unattended run choose: a name that the
// media do not offer ends the run before anything runs.
void AnswerSelection(HWND dialog);

// A run that goes on after a restart takes the choice its journal keeps,
// and presses what was pressed then. An application INF changed since the
// run started would go on at a command number of another text: the run
// ends as a load failure does.
void TakeJournalChoice(HWND dialog);

// A person offered nothing: Install is pressed at once.
void PressInstall(HWND dialog);
