// Following a run of qvsetup.exe to its end as a person would: message
// boxes answered, the drive dialog and the disc prompt handled, notices and
// copies waited out, with hooks where a test looks or acts; and screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// An unattended run: qvsetup.exe (of the build, or `program`) started on
// `folder` with QVSETUP_ANSWERS naming `answerFile` (and QVSETUP_RECORD
// unset), followed to its end without answering anything. A message box,
// the selection dialog or the drive dialog of the run fails the test: none
// may wait for a person. `meanwhile` is called while the run goes on.
struct UnattendedEnd {
    bool ended;             // within `timeoutMs`; else the run is killed
    DWORD exitCode;
    DWORD milliseconds;     // from the start to the end
};
UnattendedEnd RunUnattended(const std::string& folder, const std::string& answerFile,
                            DWORD timeoutMs, const std::function<void()>& meanwhile = {},
                            const std::string& program = std::string());

// An answer file with its log and result file, in a folder of its own:
// `head` (the section's header), the keys given, then Log and Result.
class AnswerFile {
public:
    explicit AnswerFile(const std::vector<std::string>& keys = {},
                        const std::string& head = "[Unattended]");
    ~AnswerFile();
    AnswerFile(const AnswerFile&) = delete;
    AnswerFile& operator=(const AnswerFile&) = delete;

    std::string File() const { return folder_ + "\\ANSWERS.INI"; }
    std::string Log() const { return folder_ + "\\RUN.LOG"; }
    std::string ResultFile() const { return folder_ + "\\RESULT.INI"; }
    // A value of the result file, its escapes (\\, \n) read back; "(none)"
    // when it is missing.
    std::string Result(const char* section, const char* key) const;
    bool Logged(const std::string& text) const { return LoggedAt(text) >= 0; }
    // The milliseconds of the day of the first log line with `text`; -1 when none has it.
    long LoggedAt(const std::string& text) const;

private:
    std::string folder_;
};

// The line number (from 1) of the first line of the file that is `line`
// (blanks around it aside), or 0.
int FileLineOf(const std::string& path, const std::string& line);

// Sets an environment variable of the test program, which the programs it
// starts inherit, for the life of the object; null unsets it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
};

// The sample media of the build (discs\disc1 and discs\disc2 beside the
// test program), disc 1 copied to a temporary folder with `configLine`
// added to the master INF's [QvSetupConfig]. The copy reads as the model
// of a virtual machine (its Biospeek.dat), on every bench alike.
class SampleMedia {
public:
    explicit SampleMedia(const std::string& configLine = std::string());
    ~SampleMedia();
    SampleMedia(const SampleMedia&) = delete;
    SampleMedia& operator=(const SampleMedia&) = delete;

    const std::string& folder() const { return folder_; }
    std::string Disc2() const;
    // Runs QVSETUP.EXE of the copy with disc 2 in CD-ROM drive R from the
    // start: the dialog's preselection installed, every box answered OK.
    bool Run(DWORD* exitCode);

private:
    std::string folder_;
};

// The lines of a setup log without their time stamps.
std::vector<std::string> SetupLogLines(const std::string& path);

// Pictures of a run's windows, one per name, saved as FOLDER\NAME.bmp (none
// when the folder is empty). A name whose picture could not be saved is
// taken again at its next window.
class WindowPictures {
public:
    explicit WindowPictures(std::string folder) : folder_(std::move(folder)) {}
    // The window (or, without one, the screen) after it had `paintMs` to
    // paint itself, unless a picture of that name was saved before; true
    // when one was saved now. A window's picture of one colour only (not
    // painted yet) is taken again while the window shows, for a few
    // seconds at most.
    bool Take(const char* name, HWND window = nullptr, DWORD paintMs = 500);
    // Lets the picture of that name be taken again.
    void Forget(const char* name);

private:
    std::string folder_;
    std::string taken_;
};

// Waits until `window` is gone, for at most `timeoutMs`.
void WaitGone(HWND window, DWORD timeoutMs);

// Saves the whole screen, or one window's part of it, as a 24-bit BMP.
bool SaveScreenshot(const std::string& path);
bool SaveWindowShot(HWND window, const std::string& path);
