// The machine and the media of the running qvsetup, and where its run
// stands. WinMain makes the one engine and hands it to the background
// window, which hands the media to the selection dialog and, with the
// run's attendant, a scene to each command.
#pragma once

#include "setup/core/machine.h"
#include "setup/core/media.h"
#include "setup/core/run_order.h"

struct Engine {
    Machine machine;
    Media media;
    RunPosition at;   // where the run stands
};
