// The command interpreter: runs the selected applications' commands one per
// tick of the step timer on the background window.
#pragma once

#include <windows.h>

constexpr UINT_PTR StepTimer = 40001;

// WM_START_INSTALL: starts the first selected application.
LRESULT OnStartInstall(HWND window);

// WM_TIMER of StepTimer or SleepTimer: one step of the run.
void OnStepTick(HWND window, UINT_PTR timerId);
