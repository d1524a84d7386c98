// What a command works with at its turn, handed to it with its record: the
// machine it installs on (a drive check settles its CD-ROM drive), the
// media it belongs to, and who attends the run. Its boxes, dialogs and
// timers belong to the engine's windows.
#pragma once

#include "setup/core/attendant.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"
#include "setup/core/records.h"

struct CommandScene {
    Machine& machine;
    const Media& media;
    Attendant& attendant;
};

// The handler of a command: runs it, and answers whether the run goes on.
using CommandHandler = bool(CommandRecord* cmd, const CommandScene& scene);
