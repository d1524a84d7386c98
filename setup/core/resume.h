// A run that goes on after a restart or a power cut (RESUME=YES): its
// journal, in two alternating copies in the Windows folder, written before
// each command starts and after it ends; and the machine-wide RunOnce entry
// that starts qvsetup again while the journal exists.
#pragma once

#include <cstdint>

#include "setup/core/journal.h"
#include "setup/core/records.h"

// The two copies of the journal, in the Windows folder: one per machine.
constexpr const char* JournalFileNames[] = {"QVSETUP.JN1", "QVSETUP.JN2"};
// The value of HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce.
constexpr char ResumeEntryName[] = "QVSETUP";

struct ResumeRun {
    bool on;                // a journal is kept for this run
    bool resumed;           // this start of qvsetup goes on where the journal stood
    bool stopsForRestart;   // the process ends for a restart, and the run goes on after it
    int32_t writtenCopy;    // the copy written last (0 or 1)
    uint32_t startTick;     // when this start of qvsetup began to count
    uint32_t baseSeconds;   // the run's time before this start
    uint32_t appTick;       // when the current application's time last counted
    Journal journal;
};

enum class JournalFound { None, ThisMedia, OtherMedia };

// Looks for a journal in the Windows folder; with ThisMedia (or OtherMedia)
// it is in g_setup.resume.journal.
JournalFound FindJournal();

// True when the RunOnce entry is there: Windows removes it before it starts
// the command, so qvsetup was started by a person.
bool ResumeEntryPresent();

// True when the journal's master INF is where it was, as it was (size and
// time): the disc in the drive is the run's own.
bool JournalMediaPresent();

// Goes on with the journal found: this start resumes the run. Registers
// the run again (Windows removed the entry) and counts on from its time.
void ContinueJournal();

// Gives up the journal: both copies and the RunOnce entry removed.
void DiscardJournal();

// With RESUME=YES, begins the journal of the run that appList now holds
// (the chosen applications, the pseudo-application at its head) and
// registers the run to go on when Windows starts again.
void BeginJournal();

// True when the journal's run chose the application or section of that name.
bool ChosenInJournal(const char* name);

// The application the resumed run goes on with, and from which of its
// commands (`*from`); null when the journal's place is past every one.
AppRecord* ResumePoint(int32_t* from);

// The command is about to run, or has ended: the journal says so before
// anything else is told.
void NoteCommandStarting(const CommandRecord* cmd);
void NoteCommandEnded(const CommandRecord* cmd);

// The process ends for a restart (SHUTDOWN, or Windows ending the
// session): the journal stays, and the run goes on after it.
void StopForRestart();
// The restart did not come: the run goes on in this process.
void RestartRefused();

// The run ends: the journal and the entry go, unless the process stops for
// a restart.
void EndJournal();
