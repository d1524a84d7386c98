// Where the run stands, and how it moves on: the selected applications of
// the media in order, and the command of the current one that runs now.
#pragma once

#include "setup/core/media.h"
#include "setup/core/records.h"

// Where the run stands: the application whose commands run, and the one of
// them that runs now. Empty before the run starts and once it has ended.
struct RunPosition {
    AppRecord* app;
    CommandRecord* command;
};

// The first selected application of `media`; null when none is.
AppRecord* FirstSelectedApp(const Media& media);

// The first selected application after `app`, or null.
AppRecord* NextSelectedApp(const AppRecord* app);

// The command at `index` of `app` (its first when 0), or null.
CommandRecord* CommandOf(const AppRecord* app, int32_t index);

// Moves `at` to the command at `index` of `app` and answers it; null when
// there is none (`at` then stands at the application, on no command).
CommandRecord* MoveTo(RunPosition& at, AppRecord* app, int32_t index);

// Moves `at` on to the next command of its application and answers it;
// null at the application's end, where `at` stays.
CommandRecord* MoveToNextCommand(RunPosition& at);

// The command the run takes after `cmd` of `app`: its next one, or the
// first of the next selected application; null at the end.
const CommandRecord* FollowingCommand(const AppRecord* app, const CommandRecord* cmd);
