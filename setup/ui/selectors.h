// The three selectors of the selection dialog: a drop-down list (SINGLE), a
// list box (SINGLELIST) and an owner-drawn check list (MULTI).
#pragma once

#include <windows.h>

// Each builder creates the control as listControl, fills it from appList
// and answers the dialog's initialisation result (0 when the control can't
// be created).
BOOL CreateComboSelector(HWND dialog);
BOOL CreateListSelector(HWND dialog);
BOOL CreateCheckList(HWND dialog);

// Selection followers of the single-choice kinds: exactly the current item's
// record is selected and its description shown. True when there is a
// current item.
bool FollowComboSelection(HWND dialog);
bool FollowListSelection(HWND dialog);

// The follower of the selector's style; the check list follows nothing.
void FollowCurrentSelection(HWND dialog);

// WM_DRAWITEM of the check list.
BOOL DrawCheckListItem(HWND dialog, const DRAWITEMSTRUCT* item);

// WM_VKEYTOITEM of the check list: the space bar toggles the caret row.
INT_PTR OnCheckListKey(WORD key, WORD caretIndex);

// The space bar in the check list, seen by the message loop: toggles the
// current row and repaints the list.
void ToggleCurrentCheck();

// Install is enabled, and the default button, exactly while some
// application is selected.
void UpdateInstallButton();
