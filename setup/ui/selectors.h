// The three selectors of the selection dialog: a drop-down list (SINGLE), a
// list box (SINGLELIST) and an owner-drawn check list (MULTI).
#pragma once

#include <windows.h>

#include "setup/core/node_list.h"
#include "setup/core/records.h"
#include "setup/core/setup_config.h"

// Each builder creates the control as listControl, fills it from `apps`
// (which it marks as they are chosen) and answers the dialog's
// initialisation result (0 when the control can't be created).
BOOL CreateComboSelector(HWND dialog, NodeList<AppRecord>& apps);
BOOL CreateListSelector(HWND dialog, NodeList<AppRecord>& apps);
BOOL CreateCheckList(HWND dialog, NodeList<AppRecord>& apps);

// Selection followers of the single-choice kinds: exactly the current item's
// record is selected and its description shown. True when there is a
// current item.
bool FollowComboSelection(HWND dialog);
bool FollowListSelection(HWND dialog);

// The follower of the selector of `listStyle`; the check list follows nothing.
void FollowCurrentSelection(HWND dialog, ListStyle listStyle);

// WM_DRAWITEM of the check list.
BOOL DrawCheckListItem(HWND dialog, const DRAWITEMSTRUCT* item, const NodeList<AppRecord>& apps);

// WM_VKEYTOITEM of the check list: the space bar toggles the caret row.
INT_PTR OnCheckListKey(WORD key, WORD caretIndex);

// The space bar in the check list, seen by the message loop: toggles the
// current row and repaints the list.
void ToggleCurrentCheck();

// Install is enabled, and the default button, exactly while some
// application of `apps` is selected.
void UpdateInstallButton(const NodeList<AppRecord>& apps);
