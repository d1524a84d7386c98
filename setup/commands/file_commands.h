// File commands: COPY, EXPAND, DELETE, DELALL, SETATT and EXIST, and the
// folder walk that tests and creates the folders of a path. Each command
// answers false to end the run.
#pragma once

#include <cstdint>

#include "setup/commands/command_scene.h"
#include "setup/core/records.h"

// How EnsureDirectoryPath treats a path: options to combine.
enum EnsureOption : uint32_t {
    EnsureTestOnly = 0,         // only test that the folders exist
    EnsureCreate = 0x1,         // create the folders that are missing
    EnsureWholePath = 0x2,      // the last component is a folder too, not a file name
};

// True when every folder of the drive-letter path `path` exists, or was
// created under EnsureCreate. Without EnsureWholePath the last component is
// a file name and is not touched. A path whose full name does not fit 259
// bytes is refused.
bool EnsureDirectoryPath(const char* path, uint32_t options);

CommandHandler CopyCommand, ExpandCommand, DeleteCommand, DelallCommand, SetattCommand;

// EXIST: busy while nothing matches param1 (wildcards allowed); answers true.
CommandHandler ExistCommand;

// Tests EXIST's path again: busy while nothing matches it.
void TestExist(CommandRecord* cmd);

// Empties `folder` (and with `recursive` its subfolders) and removes it.
// False only when a folder above it is missing.
bool DeleteTree(const char* folder, bool recursive);
