// Seeing and pressing what a person would: the windows of a process, their
// texts (CP932 bytes), buttons and message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Top-level windows of process `pid`, of class `className` when given.
std::vector<HWND> ProcessWindows(DWORD pid, const char* className = nullptr);

// The first visible top-level window of `pid` and `className` within
// `timeoutMs`, or null.
HWND WaitForWindow(DWORD pid, const char* className, DWORD timeoutMs);

// Caption or control text through WM_GETTEXT.
std::string WindowText(HWND window);

struct MessageBoxText {
    std::string caption;
    std::string text;
};

MessageBoxText ReadMessageBox(HWND box);

// A hidden top-level window to own boxes, destroyed with the object.
class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Presses a dialog button as a click would (the dialog gets its WM_COMMAND).
void PressButton(HWND dialog, int controlId);

// Answers the next message box that this process shows, from a thread of
// its own, so that a test can call code that shows a modal box.
class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int answer = IDOK, DWORD timeoutMs = 10000);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    // Stops watching; true when a box was seen and answered. Its texts are
    // then in `box`.
    bool Finish();

    MessageBoxText box;

private:
    static DWORD WINAPI Watch(void* self);

    int answer_;
    DWORD timeoutMs_;
    HANDLE stop_;
    HANDLE thread_;
    bool seen_ = false;
};
