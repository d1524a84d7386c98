// The six steps of envprep and their helpers. Each step answers a step
// code: 0 for done or nothing to do, else the code of its failure.
#pragma once

#include <windows.h>

int DisableKeyboardPort();
int EnableUsbKeyboardWake();
int EnableUsbMouseWake();
int EnableApm();
int DeleteServicePackShortcuts();
int DeletePowerUtilityFiles();

// Replaces the access list of an HKEY_LOCAL_MACHINE subkey: read access for
// interactive users, full access for Administrators.
LONG GrantKeyAccess(const char* subkey);

// Deletes every file matching `pattern` (a backslash, then a name with '?'
// wildcards) in `folder` and its subfolders; 0, 14 or 16.
int DeleteMatchingInTree(const char* folder, const char* pattern, bool removeEmptied);
