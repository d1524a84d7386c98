// The engine's error box: shown over an owner window that it then destroys.
#pragma once

#include <windows.h>

// Shows `text` with the error icon and `caption` (null: SETUPNAME), owned by
// `owner`. A non-null owner is destroyed once the box is closed: over the
// background window that ends the run, over a dialog it closes the dialog.
void ShowError(HWND owner, const char* text, const char* caption = nullptr);

// ShowError with a message whose one %s is `detail` (an INF path).
void ShowErrorWithDetail(HWND owner, const char* format, const char* detail);
