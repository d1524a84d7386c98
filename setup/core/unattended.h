// An unattended run, on only when QVSETUP_ANSWERS names an answer file: no
// window waits for a person, every way the run can end has its own exit
// code, and a result file tells the outcome where the answers ask for one.
// QVSETUP_RECORD keeps what a person chose in an interactive run.
#pragma once

#include <cstdint>

#include "setup/core/answer_file.h"
#include "setup/core/node_list.h"
#include "setup/core/records.h"

constexpr char AnswersVariable[] = "QVSETUP_ANSWERS";
constexpr char RecordVariable[] = "QVSETUP_RECORD";

// The exit codes of an unattended run; an interactive run keeps its own.
// Each fits in a byte, as COMMAND.COM keeps only the low 8 bits.
enum RunEnd : int {
    EndDone = 0,
    EndNoWindow = 1,        // no administrator rights, or no main window
    EndLoadFailed = 2,      // the scripts could not be loaded
    EndCommandFailed = 3,
    EndNoDisc = 4,          // a disc prompt found no disc within DiscWait
    EndProgTimedOut = 5,
    EndBadAnswers = 6,
    EndAlreadyRunning = 7,
    EndRestartNeeded = 10,  // done, but a SHUTDOWN was not carried out
};

constexpr int EndMessageCapacity = 1024;
constexpr int FailedAtCapacity = 2 * PathCapacity + 64;

enum class AppStatus { NotChosen, NotReached, Running, Done, Failed };

// One application offered, by its INF file name, for the result file.
struct AppOutcome {
    AppOutcome* next;
    char name[PathCapacity];
    AppStatus status;
    uint32_t startTick;
    uint32_t seconds;
};

struct UnattendedRun {
    bool on;
    Answers answers;
    bool ended;                         // an end is recorded: the run stops at its next step
    RunEnd end;
    char message[EndMessageCapacity];   // the text of the box that ended the run
    char failedAt[FailedAtCapacity];    // the command that ended it, where it stands
    uint32_t startTick;
    bool commandsStarted;               // the selection is made: a box now is a command's
    NodeList<AppOutcome> apps;
};

// True when QVSETUP_ANSWERS is set, before anything else is read.
bool UnattendedAsked();

// Reads the answer file that QVSETUP_ANSWERS names into g_setup.unattended
// and puts its Log in place of the media's; false, with the end recorded
// (EndBadAnswers), when it is missing, unreadable or wrong.
bool ReadAnswerFile();

// Records how the run ends; the first end recorded stands. Logs it, and
// names the current command when the commands have started.
void EndUnattendedRun(RunEnd end, const char* message);

// The selection is made: every application offered, chosen or not.
void NoteChoice(const NodeList<AppRecord>& apps);

// `app` starts (null: the run has ended); the one before it is done, or
// failed when the run ended with a failure.
void NoteAppStart(const AppRecord* app);

// Writes the result file, when the answers name one; again if called again.
void WriteRunResult();

// The exit code of an unattended run whose message loop ended with `loopCode`.
int UnattendedExitCode(int loopCode);

// Writes key=value to [Unattended] of the file QVSETUP_RECORD names, if any.
void RecordAnswer(const char* key, const char* value);
