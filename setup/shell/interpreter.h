// The command interpreter: runs the selected applications' commands one per
// tick of the step timer on the background window.
#pragma once

#include <windows.h>

#include "setup/shell/engine.h"

constexpr UINT_PTR StepTimer = 40001;

// WM_START_INSTALL: starts the first selected application of the engine's media.
LRESULT OnStartInstall(HWND window, Engine& engine);

// WM_TIMER of StepTimer or SleepTimer: one step of the run.
void OnStepTick(HWND window, UINT_PTR timerId, Engine& engine);
