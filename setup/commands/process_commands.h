// Commands that act outside the file system: programs, sleeps, messages,
// the notice, Program Manager DDE and shutdown. Each answers false to end
// the run.
#pragma once

#include <windows.h>

#include "setup/commands/command_scene.h"
#include "setup/core/records.h"

// SLEEP's timer on the background window; its tick ends the sleep.
constexpr UINT_PTR SleepTimer = 40002;

// Timer of the notice dialog on its own window.
constexpr UINT_PTR AttentionTimer = 0xFFFFFFFF;

enum class ProgramWait {
    UntilEnd,   // PROG: the command stays busy until the process ends
    None,       // EPROG: the run goes on at once
};

// The notice with `text`, closed after `milliseconds`, as a timed ATTENTION.
void ShowTimedNotice(const char* text, int32_t milliseconds);

// Starts param1 as a command line.
bool StartProgram(CommandRecord* cmd, ProgramWait wait);

CommandHandler ProgCommand, EprogCommand, SleepCommand, MsgboxCommand, AttentionCommand,
    ShellDdeCommand, ShutdownCommand;
