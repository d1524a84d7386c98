// Start-up of the setup engine: master INF location, settings, administrator test.
#pragma once

#include <windows.h>

constexpr DWORD kDriveListCapacity = 128;

// The drive roots ("A:\", "C:\", ...) in the platform's order, each ended
// by a NUL, the list by an empty one; an answer that does not fit leaves the
// list empty.
void ReadDriveList(char (&list)[kDriveListCapacity]);

// Sets sourceDir and masterInfPath from the command-line text (the folder of
// the master INF), or from the program's own folder when the text is empty.
void LocateMasterInf(const char* commandLine);

// Fills the folders, drive letters and [QvSetupConfig] settings of g_setup.
void LoadSettings();

// 1 when a group of the process token is the built-in Administrators alias.
int IsAdministrator();

// 1 when any valid SID of the list has a sub-authority 544 (the
// Administrators alias), at any position; group attributes are not looked at.
int GroupsIncludeAdministrators(const TOKEN_GROUPS* groups);
