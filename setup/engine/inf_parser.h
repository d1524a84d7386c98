// Reading INF scripts into AppRecord and CommandRecord lists through the
// platform's profile functions.
#pragma once

#include <windows.h>

#include "setup/engine/records.h"

// Reads one application INF into a new AppRecord appended to the
// application list, then parses its [Install] section. Answers 1 also when
// the file is skipped (no "$QVSETUP$" signature, or administrator rights
// needed and missing); 0 only after an error box over `owner`.
int LoadAppInf(HWND owner, const char* path);

// Parses `section` of app->infPath and appends its commands to app->commands.
// 0 after an error box; records parsed before a bad line stay in the list.
int LoadCommandSection(HWND owner, AppRecord* app, const char* section);

// Fills one CommandRecord from one line; shows nothing. 0: invalid line.
int ParseCommand(AppRecord* app, CommandRecord* cmd, const char* line);

// Points cmd->checkEntry at the application's [CheckCdrom] entry for
// cmd->checkKey, reading the value on first use. 0: no memory, or no
// non-empty value under that key.
int FindOrLoadCheck(CommandRecord* cmd, AppRecord* app);

// True when [section] key of the INF at `path` is "YES" (any case); the
// default is "NO".
bool ProfileIsYes(const char* path, const char* section, const char* key);

// Size of the file in bytes, or -1 when it can't be opened for exclusive
// reading (or is too large to be an INF).
int32_t InfFileSize(const char* path);

// Frees the commands and drive-check entries of one record.
void FreeAppRecordLists(AppRecord* app);

// Frees the application list with every command and drive-check entry.
void FreeAppList();
