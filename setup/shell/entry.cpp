// Program entry of the setup engine: single instance, settings, the
// background window and the message loop.
#include <windows.h>

#include "common/owners.h"
#include "setup/core/administrator.h"
#include "setup/core/log_lines.h"
#include "setup/core/resume.h"
#include "setup/core/run_course.h"
#include "setup/core/run_end.h"
#include "setup/core/setup_log.h"
#include "setup/core/startup.h"
#include "setup/core/unattended.h"
#include "setup/shell/attendants.h"
#include "setup/shell/background_window.h"
#include "setup/shell/engine.h"
#include "setup/shell/journal_start.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/selectors.h"

namespace {

bool IsCheckListSpace(const MSG& message, ListStyle listStyle)
{
    return message.message == WM_KEYDOWN && message.wParam == VK_SPACE &&
           message.hwnd == g_windows.listControl && g_windows.listControl &&
           listStyle == StyleMulti;
}

// Runs until the quit message and answers its code.
int RunMessageLoop(const Engine& engine)
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsCheckListSpace(message, engine.media.config.listStyle)) {
            ToggleCurrentCheck();
            continue;
        }
        if (g_windows.selectionDialog && IsDialogMessageA(g_windows.selectionDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// No system box ("no disk in the drive") may wait for a person in an
// unattended run.
void KeepSystemBoxesAway()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

// Looks for a journal. A run that goes on after a restart has no
// QVSETUP_ANSWERS of its own: its journal names the answer file it was
// started with.
JournalFound TakeJournalAnswers()
{
    const JournalFound found = FindJournal();
    const Journal& journal = g_resume.journal;
    if (found == JournalFound::ThisMedia && journal.answerFile[0] != '\0' && !UnattendedAsked()) {
        SetEnvironmentVariableA(AnswersVariable, journal.answerFile);
        KeepSystemBoxesAway();
    }
    return found;
}

// A start by a RunOnce entry whose run has ended since (the entry's removal
// was lost with the power): nothing is left to go on with, and nothing is
// written but the log's lines.
int EndLeftoverStart(const Engine& engine)
{
    StartSetupLog(engine.machine, engine.media);
    LogStartOfRun(engine.machine, engine.media);
    LogEvent("started by Windows to go on with a run, but no run has a journal: nothing runs");
    return EndDone;
}

int RunSetup(HINSTANCE instance, const char* commandLine, Engine& engine)
{
    Machine& machine = engine.machine;
    Media& media = engine.media;
    const bool byRunOnce = LocateMasterInf(commandLine, &media);
    LoadSettings(&machine, &media);
    NameEngineWindows(instance, media.config.setupName);
    RunWorksOn(machine, media, engine.at);
    machine.isAdmin = machine.platformId == VER_PLATFORM_WIN32_NT ? IsAdministrator() : true;
    const JournalFound journal = TakeJournalAnswers();
    if (byRunOnce && journal == JournalFound::None)
        return EndLeftoverStart(engine);
    const bool answersRead = !UnattendedAsked() || ReadAnswerFile(machine, media);
    StartSetupLog(machine, media);
    LogStartOfRun(machine, media);
    if (byRunOnce)
        LogEvent("started by Windows (RunOnce) to go on with an interrupted run");
    const auto nothingRuns = [journal] {
        LogEvent("%s: nothing runs", g_unattended.message);
        if (journal == JournalFound::ThisMedia)
            KeepJournalRegistered();
        return EndBadAnswers;
    };
    if (!answersRead)
        return nothingRuns();
    AttendRun(PersonAttendant(), AnswerFileAttendant());
    if (!AnnounceRun(journal == JournalFound::None))
        return nothingRuns();
    int journalCode = EndDone;
    if (SettleJournal(journal, byRunOnce, &journalCode) == JournalStart::Ends)
        return journalCode;
    if (!RegisterBackgroundClass(instance))
        return EndBeforeRun(EndNoWindow, "the window class could not be registered", EndDone);
    HWND window = CreateBackgroundWindow(instance, engine);
    if (!window)
        return EndBeforeRun(EndNoWindow, "the main window could not be created", EndNoWindow);
    if (media.config.showBackground) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        SetFocus(g_windows.selectionDialog);
    }
    return RunMessageLoop(engine);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (UnattendedAsked())
        KeepSystemBoxesAway();
    // A second instance ends at once: silently with 0, or in an unattended
    // run with a code of its own, which a factory line can't take for success.
    // The machine and the media of this process, handed to whatever works
    // on them; the journal and the unattended run hold on to them until
    // the course is finished.
    Engine engine = {};
    if (KernelHandle(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, RunningMutexName)).valid()) {
        if (!UnattendedAsked())
            return EndDone;
        LocateMasterInf(commandLine, &engine.media);
        LoadSettings(&engine.machine, &engine.media);
        return EndSecondInstance(engine.machine, engine.media);
    }
    const KernelHandle mutex(CreateMutexA(nullptr, TRUE, RunningMutexName));
    const int exitCode = FinishCourse(RunSetup(instance, commandLine, engine));
    if (mutex.valid())
        ReleaseMutex(mutex.get());
    return exitCode;
}
