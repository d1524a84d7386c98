// The six steps of envprep and their helpers. Each step answers a step
// code: StepDone for done or nothing to do, else the code of its failure.
#pragma once

#include <windows.h>

// What the checks and steps report; the last step's code is the exit code.
enum StepCode : int {
    StepDone = 0,
    StepWrongWindows = 1,           // not Windows 2000 (or XP)
    StepRefusedKeyboard = 2,        // not one of the maker's machines
    StepKeyboardPortUnopened = 3,   // i8042prt key
    StepKeyboardPortNotSet = 4,     // its Start value
    StepKeyboardIdUnread = 5,       // a kbdhid device instance path
    StepKeyboardEnumUnopened = 6,   // its Device Parameters key
    StepKeyboardWakeNotSet = 7,     // its WaitWakeEnabled value
    StepMouseIdUnread = 8,
    StepMouseEnumUnopened = 9,
    StepMouseWakeNotSet = 10,
    StepApmKeyUnopened = 11,
    StepApmNotEnabled = 12,
    StepNoProfilesFolder = 13,
    StepNoMatchingFile = 14,        // a folder of the shortcut walk can't be listed
    StepFolderNotRemoved = 16,      // an emptied folder still holds other entries
    StepInteractiveSid = 17,        // GrantKeyAccess, 17 to 24
    StepAdministratorsSid = 18,
    StepAclMemory = 19,
    StepAclInit = 20,
    StepReadAccess = 21,
    StepFullAccess = 22,
    StepDescriptorInit = 23,
    StepDescriptorDacl = 24,
    StepNoWindowsFolder = 25,
};

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
// wildcards) in `folder` and its subfolders; StepDone, StepNoMatchingFile
// or StepFolderNotRemoved.
int DeleteMatchingInTree(const char* folder, const char* pattern, bool removeEmptied);
