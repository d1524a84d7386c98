// An unattended run, on only when QVSETUP_ANSWERS names an answer file: no
// window waits for a person, every way the run can end has its own exit
// code, and a result file tells the outcome where the answers ask for one.
// QVSETUP_RECORD keeps what a person chose in an interactive run.
#pragma once

#include <cstdint>

#include "setup/core/answer_file.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"
#include "setup/core/node_list.h"
#include "setup/core/records.h"
#include "setup/core/run_end.h"
#include "setup/core/run_order.h"

constexpr char AnswersVariable[] = "QVSETUP_ANSWERS";
constexpr char RecordVariable[] = "QVSETUP_RECORD";

constexpr int EndMessageCapacity = 1024;
constexpr int FailedAtCapacity = 2 * PathCapacity + 128;

// One application offered, by its INF file name, for the result file.
struct AppOutcome {
    AppOutcome* next;
    char name[PathCapacity];
    AppStatus status;
    uint32_t startTick;
    uint32_t baseSeconds;       // its time before this start of qvsetup (a resumed run)
    uint32_t seconds;
};

struct UnattendedRun {
    bool on;
    Answers answers;
    char answerFile[PathCapacity];      // the answer file's full path
    char resultPath[PathCapacity];      // Result, expanded; empty: no result file
    bool ended;                         // an end is recorded: the run stops at its next step
    RunEnd end;
    char reason[EndMessageCapacity];    // the end's own Reason; empty: the table's words
    char message[EndMessageCapacity];   // the text of the box that ended the run
    char failedAt[FailedAtCapacity];    // the command that ended it, where it stands
    uint32_t startTick;
    bool commandsStarted;               // the selection is made: a box now is a command's
    bool resultWritten;                 // the result of `writtenEnd` is in the file
    RunEnd writtenEnd;
    NodeList<AppOutcome> apps;
    const RunPosition* at;              // where the run stands
};

// The unattended run of this process, on only when QVSETUP_ANSWERS is set.
extern UnattendedRun g_unattended;

// True when QVSETUP_ANSWERS is set, before anything else is read.
bool UnattendedAsked();

// Reads the answer file that QVSETUP_ANSWERS names into g_unattended:
// Result and Log first, so that whatever is wrong later is told there,
// then every key, Result expanded on `machine`. Puts its Log in place of
// the media's. False, with the end recorded (EndBadAnswers), when the file
// is missing, unreadable, has no [Unattended] section or begins with a
// byte order mark, or a key is wrong.
bool ReadAnswerFile(const Machine& machine, Media& media);

// Names `cmd` as the command the run failed at (FailedAt), where it stands.
void NoteFailedCommand(const CommandRecord* cmd);

// Records how the run ends; the first end recorded stands. Logs it, and
// names the current command when the commands have started. `reason`
// replaces the table's words.
void EndUnattendedRun(RunEnd end, const char* message, const char* reason = nullptr);

// A command or a drive check ended the run without showing a message: in
// an unattended run that is a failure (EndCommandFailed), which `message`
// names. Nothing when an end is recorded already (the box it showed).
void EndRunSilently(const char* message);

// A second qvsetup while one runs: reads the answers' Result and writes
// EndAlreadyRunning there, unless the file tells of a run that goes on
// (the live run's, which only that run writes); answers that exit code.
int EndSecondInstance(const Machine& machine, Media& media);

// A restart was asked for and Windows refused it: the run ends with
// EndRestartNeeded in place of the restart that its result announced.
void NoteRestartRefused();

// The selection is made: every application offered, chosen or not; a
// resumed run takes each one's status and time, and the run's time, from
// its journal.
void NoteChoice(const Media& media);

// `app` starts; the one before it is done.
void NoteAppStart(const AppRecord* app);

// Writes the result of a run that goes on (ExitCode empty, Reason running),
// when the answers name a result file, and makes the folders it needs.
// False when the file can't be written and `mustLand`: the run has ended
// then (EndBadAnswers), and the message says why. (A start that goes on
// with an interrupted run goes on: its share may not be there yet.)
bool WriteRunningResult(bool mustLand);

// How long the final result waits for a reader that holds its file.
enum class ResultWait {
    ForReaders,     // a few seconds
    None,           // Windows ends the session: at once
};

// Writes the result of the run as it ended (done, when no end is recorded),
// when the answers name a result file: into a new file beside it, which
// then takes its place; while a reader holds the file so that it can't be
// replaced, tried again as `wait` says, then written in place. Nothing
// when that very result is in the file. An application that the run left
// for a restart in its middle is paused.
void WriteRunResult(ResultWait wait = ResultWait::ForReaders);

// The exit code of an unattended run: its recorded end, or EndDone.
int UnattendedExitCode();

// Writes key=value to [Unattended] of the file QVSETUP_RECORD names, if any.
void RecordAnswer(const char* key, const char* value);

// QVSETUP_RECORD keeps the INF file names of the applications chosen of
// `apps`, as Select; NONE for none.
void RecordChoice(const NodeList<AppRecord>& apps);
