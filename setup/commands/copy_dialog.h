// XCOPY and XCOPYA: copying a folder (and with XCOPYA its whole tree) under
// the copy progress dialog, one directory entry per tick.
#pragma once

#include <windows.h>

#include "setup/commands/command_scene.h"
#include "setup/core/records.h"

constexpr UINT_PTR CopyTimer = 40003;

// The handler of both commands: true lets the run go on, false ends it.
CommandHandler XcopyCommand;
