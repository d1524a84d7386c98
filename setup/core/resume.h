// A run that goes on after a restart or a power cut (RESUME=YES): its
// journal, in two alternating copies in the Windows folder, written before
// each command starts and after it ends; and the machine-wide RunOnce entry
// that starts qvsetup again while the journal exists.
#pragma once

#include <cstdint>

#include "setup/core/journal.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"
#include "setup/core/records.h"

// The two copies of the journal, in the Windows folder: one per machine.
constexpr const char* JournalFileNames[] = {"QVSETUP.JN1", "QVSETUP.JN2"};
// The value of HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce.
constexpr char ResumeEntryName[] = "QVSETUP";
// What the entry's command line has before the media folder: a start by
// Windows, not by a person.
constexpr char ResumeSwitch[] = "/RESUME";
// A run that went on this many times in a row at a program cut off while it
// ran gives up at the next such start.
constexpr uint32_t MostResumesOfOneCommand = 3;

struct ResumeRun {
    bool on;                // a journal is kept for this run
    bool resumed;           // this start of qvsetup goes on where the journal stood
    bool stopsForRestart;   // the process ends for a restart, and the run goes on after it
    int32_t writtenCopy;    // the copy written last (0 or 1)
    uint32_t startTick;     // when this start of qvsetup began to count
    uint32_t baseSeconds;   // the run's time before this start
    uint32_t appTick;       // when the current application's time last counted
    Journal journal;
    Machine* machine;       // the machine and the media the run works on
    Media* media;
};

// The journal of this process's run, on only with RESUME=YES.
extern ResumeRun g_resume;

// Hands the journal the machine and the media of this run; called once at
// start-up, before any other function here. The journal notes and restores
// the drive of the disc (the machine's cdromLetter) and the run's place
// among the media's applications.
void JournalWorksOn(Machine& machine, Media& media);

enum class JournalFound { None, ThisMedia, OtherMedia };

// Looks for a journal in the Windows folder; with ThisMedia (or OtherMedia)
// it is in g_resume.journal.
JournalFound FindJournal();

// True when the journal's master INF is where it was, as it was (size and
// time): the disc in the drive is the run's own.
bool JournalMediaPresent();

// Goes on with the journal found: this start resumes the run. Registers
// the run again (Windows removed the entry) and counts on from its time.
void ContinueJournal();

// Gives up the journal: both copies and the RunOnce entry removed.
void DiscardJournal();

// This start ends before the run goes on (its disc did not come, its answers
// are wrong): the run is registered again, so that the next start of
// Windows tries again (Windows removed the entry before it started this one).
void KeepJournalRegistered();

// With RESUME=YES, begins the journal of the run that the media now hold
// (the chosen applications, the pseudo-application at its head), naming
// `answerFile` (empty: none) for the starts after a restart, and registers
// the run to go on when Windows starts again.
void BeginJournal(const char* answerFile);

// True when the journal's run chose the application or section of that name.
bool ChosenInJournal(const char* name);

// The application of `media` the resumed run goes on with, and from which
// of its commands (`*from`); null when the journal's place is past every one.
AppRecord* ResumePoint(Media& media, int32_t* from);

// The resumed run goes on at command `from` of `app`: the journal counts
// how many starts in a row went on at that very command after it had been
// cut off while it ran, and answers that count.
uint32_t NoteResumeAt(const AppRecord* app, int32_t from);

// True when an application INF that the journal's run chose is no longer
// as it was when the run started (changed, or gone); `path` names it.
bool ChangedJournalInf(char (&path)[PathCapacity]);

// True when the journal has the application of that name done.
bool JournalAppDone(const char* name);

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
