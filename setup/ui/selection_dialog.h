// The application selection dialog: offers the applications of the
// installation folder and hands the chosen ones to the background window.
#pragma once

#include <windows.h>

#include "setup/core/attendant.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"

// What the dialog loads its offer for and hands the choice on in: the
// machine, the media (whose applications it loads and marks; the chosen
// ones are the run's), and who attends the run. The dialog's creation
// parameter, which the dialog keeps a copy of; what it points at must
// outlive the dialog.
struct SelectionScene {
    const Machine* machine;
    Media* media;
    Attendant* attendant;
};

// Posted to the background window with the chosen applications in the
// media's list: run them.
constexpr UINT WM_START_INSTALL = WM_USER + 1;

// The dialog's procedure; its creation parameter is a SelectionScene.
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
