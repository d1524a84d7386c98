// How one start of qvsetup ends. Whoever meets an end (the start-up, a
// window, a command, Windows ending the session) tells the course what
// happened; the course decides what the run's mode makes of it, and alone
// writes the result file, the journal's end and the log's last lines, in
// that order.
#pragma once

#include <windows.h>

#include <cstdint>

#include "setup/core/attendant.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"
#include "setup/core/node_list.h"
#include "setup/core/records.h"
#include "setup/core/run_end.h"
#include "setup/core/run_order.h"

// The run begins: an unattended one says at once in its result file that
// this process runs, before a wait for an interrupted run's disc, so that
// a second qvsetup meanwhile leaves it alone. False when the result can't
// be written and `mustLand` (a fresh start): the run ends before anything
// runs, with the answers found wrong.
bool AnnounceRun(bool mustLand);

// The start ends before the run begins (no window, a journal settled so):
// `why` is logged; an unattended run records `end` (its Reason `reason`
// when given) and answers it, an interactive one answers `interactiveCode`.
int EndBeforeRun(RunEnd end, const char* why, int interactiveCode, const char* reason = nullptr);

// A SHUTDOWN's way down: whether it restarts Windows (or shuts it down),
// and whether the run kept a journal when the command began. The session
// may end while its question shows, which ends the journal; the command
// goes on as the run stood when it began.
struct WayDown {
    bool restart;
    bool journal;
};

WayDown BeginWayDown(bool restart);

// False when the answers say Windows is not to restart (Restart=NO): the
// run ends here, a restart needed (with a journal, it goes on after one);
// `cmd` is then noted as ended.
bool RestartAllowed(CommandRecord* cmd, const WayDown& way);

// Windows is asked now to go down for `cmd`: with a journal the run goes on
// after the restart from the next command; without one an unattended run
// ends here, its result written before Windows goes down.
void WindowsGoingDown(CommandRecord* cmd, const WayDown& way);

// Windows went down as asked: true when the run is to go on meanwhile (an
// interactive run without a journal), false when nothing more may run.
bool RunGoesOnWhileWindowsGoesDown(const WayDown& way);

// Windows refused to go down, with `error`, which is logged: true when the
// run goes on (with a journal, or an interactive run), false when an
// unattended run ends with a restart needed, or when the session ended
// meanwhile and the journal awaits the restart.
bool RunGoesOnAfterRefusal(const WayDown& way, DWORD error);

// Windows ends the session, and the process with it: a run with a journal
// stops for the restart; an unattended run without one ends here, stopped
// from outside, its result written at once.
void SessionEnding();

// An end that only an unattended run records (a person sees the box that
// tells it, or sees the window go): `end`, told by `message`.
void NoteEnd(RunEnd end, const char* message);

// A box the engine would show: true when the run answers it unseen (OK;
// an error box ends an unattended run, as a loading or a command failure by
// when it comes), false when a person is to see it.
bool BoxAnsweredUnseen(const char* text, UINT style);

// Who attends the run: `answers` in an unattended run, `person` in any
// other; set before anything is asked.
void AttendRun(Attendant& person, Attendant& answers);

// The run works on `machine` and `media`, and stands at `at`: the journal
// notes and restores them, and an unattended run that ends names the
// command it stood at. Called once at start-up, before the journal is
// looked for; all three must last until the course is finished.
void RunWorksOn(Machine& machine, Media& media, const RunPosition& at);

// The run goes on where its journal stood: `replay` attends it from now on.
void AttendFromJournal(Attendant& replay);

// The run's attendant.
Attendant& RunAttendant();

// The choice is made: an unattended run notes every application offered
// for its result, an attended one keeps it where QVSETUP_RECORD says.
void ChoiceMade(const Media& media);

// The commands are about to start, the applications to run chosen:
// with RESUME=YES the journal begins, naming the answer file of an
// unattended run, so that its starts after a restart take the same answers.
void JournalBegins();

// The application starts, or fails at once (`text` its box, `reason` why)
// at `cmd` (null: at none), before any of its commands ran.
void ApplicationStarts(AppRecord* app);
void ApplicationFails(AppRecord* app, const CommandRecord* cmd, const char* text,
                      const char* reason);

// The bound on the wait of the command of `code`, in seconds (0: none): a
// person waits as long as it takes.
uint32_t WaitBound(uint32_t code);

// How a program started by the run shows the system's error boxes: in an
// unattended run as it would in a person's run, the run's own error mode
// not handed on.
DWORD ProgramErrorMode();

// A notice without a time never closes by itself: true when the run takes
// it as closed at once (unattended), its `text` unescaped and logged.
bool NoticeTakenAsClosed(char* text);

// True while this process writes the run's journal (RESUME=YES: from the
// choice on, or from the start that goes on with it, until this process
// ends or stops for a restart, the journal staying for the next start).
bool JournalKept();

// True when this process is to stop for a restart after which the run
// goes on; RunStops also when an unattended run's end is recorded.
bool StopsForRestart();
bool RunStops();

// This start is over with `exitCode` (what its message loop answered): an
// unattended run's own code replaces it. Writes the result (not for a run
// that stops for a restart and goes on after it), ends the journal, logs
// the exit code and closes the log; answers the exit code.
int FinishCourse(int exitCode);
