// Following a run of qvsetup.exe to its end as a person would: message
// boxes answered, the drive dialog and the disc prompt handled, notices and
// copies waited out, with hooks where a test looks or acts; and screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

struct RunHooks {
    // A message box (the disc prompt is one, captioned "QVSETUP"): answers
    // the button to press. Default: OK.
    std::function<int(HWND box, const MessageBoxText& text)> onBox;
    // The drive selection dialog, before its OK is pressed.
    std::function<void(HWND dialog)> onDriveDialog;
    // A notice, as soon as it shows.
    std::function<void(HWND notice)> onNotice;
    // A copy progress dialog, as soon as it shows.
    std::function<void(HWND copy)> onCopy;
};

// Follows the run until it ends or `timeoutMs` pass; true when it ended,
// with its code in *exitCode.
bool FollowRun(SetupRun& run, const RunHooks& hooks, DWORD timeoutMs, DWORD* exitCode);

// Saves the whole screen, or one window's part of it, as a 24-bit BMP.
bool SaveScreenshot(const std::string& path);
bool SaveWindowShot(HWND window, const std::string& path);
