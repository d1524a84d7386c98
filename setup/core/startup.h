// What the engine settles before its first window: where the master INF is,
// the folders and drive letters behind the macros, the master INF's settings.
#pragma once

#include <windows.h>

#include "setup/core/machine.h"
#include "setup/core/media.h"

constexpr DWORD DriveListCapacity = 128;

// The drive roots ("A:\", "C:\", ...) in the platform's order, each ended
// by a NUL, the list by an empty one; an answer that does not fit leaves the
// list empty.
void ReadDriveList(char (&list)[DriveListCapacity]);

// Sets the media's sourceDir and masterInfPath from the command-line text (the folder of
// the master INF), or from the program's own folder when the text is empty.
// Answers whether the text began with the RunOnce entry's switch (Windows
// started this qvsetup to go on with a run), which is no part of the folder.
bool LocateMasterInf(const char* commandLine, Media* media);

// Reads the folders, drive letters and platform of the machine that runs
// this program, and the settings of the media's master INF.
void LoadSettings(Machine* machine, Media* media);
