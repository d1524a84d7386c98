// Commands that act outside the file system: programs, sleeps, messages,
// the notice, Program Manager DDE and shutdown. Each answers 0 to end the run.
#pragma once

#include <windows.h>

#include "setup/engine/records.h"

// Starts param1 as a command line; with `wait` the command stays busy until
// the process ends.
int StartProgram(CommandRecord* cmd, int wait);

int ProgCommand(CommandRecord* cmd);
int EprogCommand(CommandRecord* cmd);
int SleepCommand(CommandRecord* cmd);
int MsgboxCommand(CommandRecord* cmd);
int AttentionCommand(CommandRecord* cmd);
int ShellDdeCommand(CommandRecord* cmd);
int ShutdownCommand(CommandRecord* cmd);

// Timer of the notice dialog on its own window.
constexpr UINT_PTR AttentionTimer = 0xFFFFFFFF;
