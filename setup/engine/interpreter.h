// The command interpreter: runs the selected applications' commands one per
// tick of the step timer on the background window.
#pragma once

#include <windows.h>

#include "setup/engine/records.h"

constexpr UINT_PTR StepTimer = 40001;
constexpr UINT_PTR SleepTimer = 40002;
constexpr UINT WM_START_INSTALL = WM_USER + 1;

// Makes the first command of `app` current and dispatches it; 0 when the
// application has no command or the dispatch ends the run.
int StartApp(AppRecord* app);

// Runs the handler of the command's code; 0 ends the run.
int DispatchCommand(CommandRecord* cmd);

// 1 when the current command has finished; may clear cmd->busy.
int IsCommandDone(CommandRecord* cmd);

// WM_START_INSTALL: starts the first selected application.
LRESULT OnStartInstall(HWND window);

// WM_TIMER of StepTimer or SleepTimer: one step of the run.
void OnStepTick(HWND window, UINT_PTR timerId);
