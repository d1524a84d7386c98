// The engine's error box. It only shows: closing the window it stands over
// is the caller's next step.
#pragma once

#include <windows.h>

#include "setup/core/inf_parser.h"

// MessageBoxA that also writes the box and the button pressed to the setup
// log; every box of the engine goes through it.
int ShowBox(HWND owner, const char* text, const char* caption, UINT style);

// Shows `text` with the error icon and `caption` (null: SETUPNAME), owned
// by `owner` (null: no owner).
void ShowError(HWND owner, const char* text, const char* caption = nullptr);

// ShowError with a message whose one %s is `detail` (an INF or file path).
void ShowErrorWithDetail(HWND owner, const char* format, const char* detail);

// ShowError with the box the command `cmd` fails with, naming its field;
// false, the answer of a command that failed.
bool ShowCommandFailure(HWND owner, const CommandRecord& cmd);

// ShowError with the message of a failed load.
void ShowLoadError(HWND owner, const LoadError& error);
