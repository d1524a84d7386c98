// From a command record to its handler: the drive check first, then the
// command; and whether a command that goes on after its handler is done.
#pragma once

#include <windows.h>

#include "setup/commands/command_scene.h"
#include "setup/core/records.h"

// Runs the drive check the command asks for, then the handler of its code;
// false ends the run. The log gets the command with its fields as it
// starts, and how it ended unless it goes on after its handler.
bool DispatchCommand(CommandRecord* cmd, const CommandScene& scene);

// True when the command has finished; may clear cmd->busy.
bool IsCommandDone(CommandRecord* cmd);

// SLEEP's timer has fired on `window`: the sleep is over.
void EndSleep(HWND window, CommandRecord* cmd);

// True while `next` (null: none) must wait after `ended`: with a journal, a
// command that starts a program waits a moment after a PROG's program
// ended, so that a restart the ended program asked for reaches the run
// first (a program started meanwhile would be killed by it, never to run).
bool NextProgramWaits(const CommandRecord* ended, const CommandRecord* next);

// Windows ends the session, which began to end at `sessionEndTick` (its
// first question to the run), while the run of `media` waits for `cmd`
// (null: for none). A PROG's program that has run a while is taken to have asked for
// it (an installer that restarts Windows when it is done): the journal
// notes the command as ended, and the run goes on after the restart with
// the next one. Where another program may have asked for it (this one
// started only a moment before, or another one ended or was let go just
// before), the program runs again after the restart: never skipped unrun.
void NoteSessionEnd(const Media& media, CommandRecord* cmd, uint32_t sessionEndTick);
