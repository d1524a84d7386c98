// Driving the real qvsetup.exe from a test: write an installation folder,
// start the program on it, find its windows, press what a person would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/core/records.h"

// What an application INF says.
struct AppInf {
    std::string title;
    std::vector<std::string> install;    // [Install] lines
    std::vector<std::string> version;    // extra [Version] lines, such as "Default=YES"
    std::string description;             // empty: none
};

// An installation folder under %TEMP%, removed with its contents.
class MediaFolder {
public:
    MediaFolder();
    ~MediaFolder();
    MediaFolder(const MediaFolder&) = delete;
    MediaFolder& operator=(const MediaFolder&) = delete;

    const std::string& folder() const { return folder_; }
    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
    // Writes a file of CRLF-ended lines (CP932 bytes as the test compiled them).
    void Write(const std::string& name, std::initializer_list<std::string> lines) const;
    // Writes an application INF, and an empty master INF when there is none.
    void WriteApp(const std::string& name, const AppInf& app) const;

    // The file the stamp helper writes, and a command line of it:
    // "stamp.exe FILE LABEL [MILLISECONDS]", quoted for an INF line.
    std::string StampFile() const { return Path("stamps.txt"); }
    std::string Stamp(const std::string& label, int milliseconds = -1) const;
    // The labels of the stamps written so far, in order.
    std::vector<std::string> StampLabels() const;

private:
    std::string folder_;
};

// A BMP of `bits` per pixel whose every pixel is palette entry 1, red (or,
// at 24 bits, red itself).
std::string SolidBmp(int bits, int width, int height);

// The test program's build folder holds qvsetup.exe and the helper programs.
std::string BuildProgram(const char* name);

// One run of qvsetup.exe.
class SetupRun {
public:
    // Starts `program` (qvsetup.exe of the build by default) with the command
    // line text `arguments` after its name, in `folder` (default: the test's).
    explicit SetupRun(const std::string& arguments, const std::string& program = std::string(),
                      const std::string& folder = std::string());
    // Follows a qvsetup that someone else started (Windows, through its
    // RunOnce entry): its windows and its end. It is not ended when let go.
    explicit SetupRun(DWORD pid);
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD pid() const { return pid_; }

    // Visible windows of the run, found within `timeoutMs`, or null.
    HWND WaitForSelectionDialog(DWORD timeoutMs = 10000) const;
    HWND WaitForMessageBox(DWORD timeoutMs = 10000) const;
    HWND WaitForNotice(DWORD timeoutMs = 10000) const;
    HWND WaitForCopyDialog(DWORD timeoutMs = 10000) const;
    HWND WaitForDriveDialog(DWORD timeoutMs = 10000) const;
    HWND BackgroundWindow() const;

    // Waits for the end of the run; false when it does not end within
    // `timeoutMs` (a run still going when the test lets go of it is killed).
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);

    // Presses Install as soon as the selection dialog shows; answers the
    // dialog, or null when none came.
    HWND StartInstall(DWORD timeoutMs = 10000) const;

    // The `selected` flag of the record attached to a selector item, read
    // from the running program's memory.
    int32_t SelectedOf(const AppRecord* record) const;
    // The title of such a record.
    std::string TitleOf(const AppRecord* record) const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    bool owned_ = true;     // started here: ended when let go
};

// Success when the run ends within `timeoutMs` with `expectedCode`; for
// EXPECT_TRUE, which then reports the caller's line.
testing::AssertionResult RunExits(SetupRun& run, DWORD timeoutMs = 15000, DWORD expectedCode = 0);

// The selector control of a selection dialog (list box or combo box).
HWND SelectorOf(HWND dialog);

// The record pointer (in the run's memory) of a selector item.
const AppRecord* ItemRecordOf(HWND selector, int index);

// Clicks at client coordinates of a window (button down, then up).
void ClickAt(HWND window, int x, int y);

// Presses and releases a key in a window.
void PressKey(HWND window, UINT key);

// Waits until `condition` holds, polling, for at most `timeoutMs`.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

struct Stamp {
    std::string label;
    std::string event; // "start" or "end"
    DWORD tick;
};

// The lines that the stamp helper wrote to `path`.
std::vector<Stamp> ReadStamps(const std::string& path);

// The labels of the stamps in order; with `event`, of that event's only.
std::vector<std::string> StampLabels(const std::vector<Stamp>& stamps, const char* event = nullptr);

// The tick of the first stamp with `label` and `event`, or 0.
DWORD StampTick(const std::vector<Stamp>& stamps, const std::string& label,
                const std::string& event = "start");
