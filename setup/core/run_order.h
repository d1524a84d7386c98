// The interpreter's place in the run: the selected applications of the media
// in order, and the current command, kept in the lists' own cursors.
#pragma once

#include "setup/core/media.h"
#include "setup/core/records.h"

// Moves to the first selected application of `media`; null when none is.
AppRecord* FirstSelectedApp(Media& media);

// Moves past the current application to the next selected one, or null.
AppRecord* NextSelectedApp(Media& media);

// The current application's current command, or null.
CommandRecord* CurrentCommand(const Media& media);

// Makes the command at `index` of `app` current (its first when 0); null
// when there is none.
CommandRecord* CommandAt(AppRecord* app, int32_t index);

// The command the run takes after `cmd` of `app`: its next one, or the
// first of the next selected application; null at the end. Moves no cursor.
const CommandRecord* FollowingCommand(const AppRecord* app, const CommandRecord* cmd);
