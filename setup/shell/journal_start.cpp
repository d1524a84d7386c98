// The start of qvsetup when a journal of an interrupted run is found.
#include "setup/shell/journal_start.h"

#include <windows.h>

#include <cstdio>

#include "setup/core/log_lines.h"
#include "setup/core/messages.h"
#include "setup/core/resume.h"
#include "setup/core/run_course.h"
#include "setup/core/run_end.h"
#include "setup/core/setup_log.h"
#include "setup/core/unattended.h"
#include "setup/shell/attendants.h"

namespace {

// Going on is what Windows starts qvsetup for (through the RunOnce entry);
// whoever started it is asked.
bool GoingOnWanted(bool byRunOnce)
{
    return byRunOnce || RunAttendant().WantsInterruptedRun(MsgContinueRun);
}

// The medium's disc, waited for as the run's attendant waits; false when
// it does not come.
bool JournalMediaComes()
{
    if (!JournalMediaPresent())
        LogEvent(LogLookingFor, "(the interrupted run)", g_resume.journal.masterInfPath);
    return RunAttendant().WaitsForRunDisc(JournalMediaPresent);
}

JournalStart EndThisStart(int* exitCode, RunEnd end, const char* why, int interactiveCode,
                          const char* reason = nullptr)
{
    *exitCode = EndBeforeRun(end, why, interactiveCode, reason);
    return JournalStart::Ends;
}

// A journal of other media: a run that has not ended, and that no qvsetup
// runs now (this one holds the mutex). A person is asked whether to give it
// up; an answer file gives it up with Resume=NO. Kept, it ends this start
// with the run and its media named.
JournalStart SettleOtherRun(int* exitCode)
{
    const Journal& journal = g_resume.journal;
    LogEvent("the run %s of %s has not ended (its journal is kept)", journal.runId, journal.sourceDir);
    char question[EndMessageCapacity];
    snprintf(question, sizeof question, MsgOtherRunUnfinished, journal.sourceDir);
    if (RunAttendant().GivesUpOtherRun(question)) {
        LogEvent("the interrupted run %s of %s is given up: this run starts", journal.runId,
                 journal.sourceDir);
        DiscardJournal();
        return JournalStart::Fresh;
    }
    char reason[EndMessageCapacity];
    snprintf(reason, sizeof reason,
             "the interrupted run %s of %s has not ended: it goes on first (Resume=NO gives it up)",
             journal.runId, journal.sourceDir);
    return EndThisStart(exitCode, EndAlreadyRunning, question, EndDone, reason);
}

} // namespace

JournalStart SettleJournal(JournalFound found, bool byRunOnce, int* exitCode)
{
    const Journal& journal = g_resume.journal;
    switch (found) {
    case JournalFound::None:
        return JournalStart::Fresh;
    case JournalFound::OtherMedia:
        return SettleOtherRun(exitCode);
    case JournalFound::ThisMedia:
        break;
    }
    if (!GoingOnWanted(byRunOnce)) {
        DiscardJournal();
        LogEvent("the interrupted run (%s) is given up: a new run starts", journal.runId);
        return JournalStart::Fresh;
    }
    if (!JournalMediaComes()) {
        if (RunAttendant().KeepsRunWithoutDisc()) {
            KeepJournalRegistered();
            return EndThisStart(exitCode, EndNoDisc, MsgInsertSetupDisc, EndDone);
        }
        DiscardJournal();
        return EndThisStart(exitCode, EndDone, "the interrupted run is given up: its disc did not come",
                            EndDone);
    }
    ContinueJournal();
    AttendFromJournal(JournalAttendant(RunAttendant()));
    LogEvent("the interrupted run (%s) goes on where it stood", journal.runId);
    return JournalStart::Resumed;
}
