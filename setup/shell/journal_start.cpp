// The start of qvsetup when a journal of an interrupted run is found.
#include "setup/shell/journal_start.h"

#include <windows.h>

#include "setup/core/messages.h"
#include "setup/core/resume.h"
#include "setup/core/run_end.h"
#include "setup/core/setup_log.h"
#include "setup/core/setup_state.h"
#include "setup/ui/error_box.h"

namespace {

// Going on is what Windows starts qvsetup for (it removed the RunOnce
// entry first); a person who starts it while the entry waits is asked.
bool GoingOnWanted()
{
    if (g_setup.unattended.on)
        return g_setup.unattended.answers.resume;
    if (!ResumeEntryPresent())
        return true;
    return ShowBox(nullptr, MsgContinueRun, g_setup.config.setupName, MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

// The medium's disc, asked for as a drive check asks, or looked for four times
// a second for DiscWait in an unattended run; false when it does not come.
bool JournalMediaComes()
{
    if (g_setup.unattended.on) {
        const DWORD start = GetTickCount();
        const DWORD waitMs = g_setup.unattended.answers.discWaitSeconds * DiscWaitMsPerSecond;
        while (!JournalMediaPresent()) {
            if (GetTickCount() - start >= waitMs)
                return false;
            Sleep(DiscProbeIntervalMs);
        }
        return true;
    }
    while (!JournalMediaPresent()) {
        if (ShowBox(nullptr, MsgInsertSetupDisc, PromptCaption, MB_RETRYCANCEL | MB_ICONQUESTION) !=
            IDRETRY)
            return false;
    }
    return true;
}

JournalStart EndThisStart(int* exitCode, RunEnd end, const char* why, int interactiveCode)
{
    LogEvent("%s", why);
    if (g_setup.unattended.on)
        EndUnattendedRun(end, why);
    *exitCode = g_setup.unattended.on ? end : interactiveCode;
    return JournalStart::Ends;
}

} // namespace

JournalStart SettleJournal(JournalFound found, int* exitCode)
{
    const Journal& journal = g_setup.resume.journal;
    switch (found) {
    case JournalFound::None:
        return JournalStart::Fresh;
    case JournalFound::OtherMedia:
        LogEvent("the run of %s is to go on first (its journal is kept)", journal.sourceDir);
        return EndThisStart(exitCode, EndAlreadyRunning, RunEndMeaning(EndAlreadyRunning), EndDone);
    case JournalFound::ThisMedia:
        break;
    }
    if (!GoingOnWanted()) {
        DiscardJournal();
        LogEvent("the interrupted run (%s) is given up: a new run starts", journal.runId);
        return JournalStart::Fresh;
    }
    if (!JournalMediaComes()) {
        if (g_setup.unattended.on)
            return EndThisStart(exitCode, EndNoDisc, MsgInsertSetupDisc, EndDone);
        DiscardJournal();
        return EndThisStart(exitCode, EndDone, "the interrupted run is given up: its disc did not come",
                            EndDone);
    }
    ContinueJournal();
    LogEvent("the interrupted run (%s) goes on where it stood", journal.runId);
    return JournalStart::Resumed;
}
