// File commands: COPY, EXPAND, DELETE, DELALL, SETATT and EXIST, and the
// folder walk that tests and creates the folders of a path. Each command
// answers 0 to end the run.
#pragma once

#include "setup/engine/records.h"

// 1 when every folder of the drive-letter path `path` exists, or was created
// when `create` is set. With `wholePath` the last component is a folder too;
// otherwise it is a file name and is not touched. A path whose full name does
// not fit 259 bytes is refused with 0.
int EnsureDirectoryPath(const char* path, int create, int wholePath);

int CopyCommand(CommandRecord* cmd);
int ExpandCommand(CommandRecord* cmd);
int DeleteCommand(CommandRecord* cmd);
int DelallCommand(CommandRecord* cmd);
int SetattCommand(CommandRecord* cmd);

// EXIST: busy while nothing matches param1 (wildcards allowed); answers 1.
int TestExist(CommandRecord* cmd);

// Empties `folder` (and with `recursive` its subfolders) and removes it.
// 0 only when a folder above it is missing.
int DeleteTree(const char* folder, int recursive);
