// From a command record to its handler: the drive check first, then the
// command; and whether a command that goes on after its handler is done.
#pragma once

#include <windows.h>

#include "setup/core/records.h"

// Runs the drive check the command asks for, then the handler of its code;
// false ends the run. The log gets the command with its fields as it
// starts, and how it ended unless it goes on after its handler.
bool DispatchCommand(CommandRecord* cmd);

// True when the command has finished; may clear cmd->busy.
bool IsCommandDone(CommandRecord* cmd);

// SLEEP's timer has fired on `window`: the sleep is over.
void EndSleep(HWND window, CommandRecord* cmd);
