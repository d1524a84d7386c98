// The three selectors of the selection dialog.
#include "setup/ui/selectors.h"

#include "common/owners.h"
#include "setup/resources/resource.h"
#include "setup/ui/check_list_geometry.h"
#include "setup/ui/drawing.h"
#include "setup/ui/engine_windows.h"

namespace {

constexpr int CheckmarkSize = 14;
constexpr int SelectorMargin = 10;      // pixels between the selector and the dialog's edges
constexpr int SelectorTop = 35;         // pixels, below the prompt
constexpr int CheckInset = 3;           // pixels between a row's corner and its check square

// WM_VKEYTOITEM answers: let the list box act, or the key is fully handled.
constexpr INT_PTR KeyDefaultAction = -1;
constexpr INT_PTR KeyHandled = -2;

// The messages in which the two single-choice kinds differ.
struct ChoiceMessages {
    UINT addString;
    UINT setItemData;
    UINT getItemData;
    UINT setCurSel;
    UINT getCurSel;
};
constexpr ChoiceMessages ComboMessages = {CB_ADDSTRING, CB_SETITEMDATA, CB_GETITEMDATA,
                                           CB_SETCURSEL, CB_GETCURSEL};
constexpr ChoiceMessages ListMessages = {LB_ADDSTRING, LB_SETITEMDATA, LB_GETITEMDATA,
                                          LB_SETCURSEL, LB_GETCURSEL};

// The record attached to an item, or null for no item (both kinds answer
// -1, their error value, for an index that names no item).
AppRecord* ItemRecord(HWND control, UINT getItemData, LRESULT index)
{
    if (index < 0)
        return nullptr;
    const LRESULT data = SendMessageA(control, getItemData, static_cast<WPARAM>(index), 0);
    return data == -1 ? nullptr : reinterpret_cast<AppRecord*>(data);
}

// Creates the selector between the prompt and the description group box.
HWND CreateSelectorControl(HWND dialog, const char* className, DWORD style)
{
    RECT group;
    GetWindowRect(GetDlgItem(dialog, IDC_DESCRIPTION_GROUP), &group);
    POINT groupTopLeft = {group.left, group.top};
    ScreenToClient(dialog, &groupTopLeft);
    RECT client;
    GetClientRect(dialog, &client);
    const int left = SelectorMargin;
    const int top = SelectorTop;
    const int right = (client.right - client.left) - SelectorMargin;
    const int bottom = groupTopLeft.y - SelectorMargin;
    HWND control = CreateWindowExA(WS_EX_CLIENTEDGE, className, "",
                                   WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                                       style,
                                   left, top, right - left, bottom - top, dialog, nullptr,
                                   g_windows.instance, nullptr);
    g_windows.listControl = control;
    if (control)
        SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), TRUE);
    return control;
}

// Walks the list by its links: its cursor is the run's position.
void FillSelector(HWND control, const ChoiceMessages& messages, NodeList<AppRecord>& apps)
{
    for (AppRecord* app = apps.head; app; app = app->next) {
        const LRESULT index = SendMessageA(control, messages.addString, 0,
                                           reinterpret_cast<LPARAM>(app->title));
        app->listIndex = static_cast<int32_t>(index);
        SendMessageA(control, messages.setItemData, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(app));
    }
    ShowWindow(control, SW_SHOW);
    SendMessageA(control, messages.setCurSel, 0, 0);
}

bool FollowSelection(HWND dialog, const ChoiceMessages& messages)
{
    HWND control = g_windows.listControl;
    // A single-choice selector keeps the item it marked last in its user
    // data; that record is unmarked when the choice moves on.
    const LRESULT marked = GetWindowLongPtrA(control, GWLP_USERDATA);
    if (AppRecord* previous = ItemRecord(control, messages.getItemData, marked))
        previous->selected = 0;
    const LRESULT current = SendMessageA(control, messages.getCurSel, 0, 0);
    SetWindowLongPtrA(control, GWLP_USERDATA, current);
    AppRecord* app = ItemRecord(control, messages.getItemData, current);
    if (!app)
        return false;
    app->selected = 1;
    SetDlgItemTextA(dialog, IDC_DESCRIPTION, app->description);
    return true;
}

// The check list's procedure: a left click first toggles the check square
// under it, then goes to the list box as usual.
LRESULT CALLBACK CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto listBoxProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_USERDATA));
    if (message == WM_LBUTTONDOWN) {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        const int rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        const int topIndex = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        CheckBoxRect box;
        const int item = CheckBoxItemAt(rowHeight, topIndex, count, x, y, &box);
        if (AppRecord* app = ItemRecord(list, LB_GETITEMDATA, item)) {
            app->selected = app->selected ? 0 : 1;
            RECT invalid = {box.left, box.top, box.right, box.bottom};
            InvalidateRect(list, &invalid, TRUE);
        }
    }
    return CallWindowProcA(listBoxProc, list, message, wParam, lParam);
}

void DrawCheckBox(HDC dc, const RECT& box, bool checked)
{
    DrawFilledRectangle(dc, box, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_GRAYTEXT));
    if (!checked)
        return;
    // The mark is white around black: AND darkens only the mark.
    const GdiObject mark(LoadBitmapA(g_windows.instance, MAKEINTRESOURCEA(IDB_CHECKMARK)));
    const MemoryDc memory(CreateCompatibleDC(dc));
    const SelectedObject markIn(memory.get(), mark.get());
    StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, memory.get(), 0, 0,
               CheckmarkSize, CheckmarkSize, SRCAND);
}

// Fills and outlines the row in the highlight or the window colours.
void PaintRowBackground(HDC dc, const RECT& row, bool highlighted)
{
    DrawFilledRectangle(dc, row, GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW),
                        GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOW));
}

void SetRowColours(HDC dc, bool highlighted)
{
    SetBkColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
}

// Highlights the selected or focused row and shows its description.
void DrawRowState(const DRAWITEMSTRUCT* item, const AppRecord* app)
{
    const bool highlighted = (item->itemState & (ODS_SELECTED | ODS_FOCUS)) != 0;
    SetRowColours(item->hDC, highlighted);
    PaintRowBackground(item->hDC, item->rcItem, highlighted);
    if (!highlighted)
        return;
    SetDlgItemTextA(g_windows.selectionDialog, IDC_DESCRIPTION, app->description);
    if (item->itemState & ODS_FOCUS)
        SetFocus(g_windows.listControl);
}

} // namespace

BOOL CreateComboSelector(HWND dialog, NodeList<AppRecord>& apps)
{
    HWND control = CreateSelectorControl(dialog, "COMBOBOX", CBS_DROPDOWNLIST | CBS_AUTOHSCROLL);
    if (!control)
        return FALSE;
    FillSelector(control, ComboMessages, apps);
    SendMessageA(control, WM_SETFOCUS, reinterpret_cast<WPARAM>(dialog), 0);
    return FollowComboSelection(dialog);
}

BOOL CreateListSelector(HWND dialog, NodeList<AppRecord>& apps)
{
    HWND control = CreateSelectorControl(dialog, "LISTBOX", WS_HSCROLL | LBS_NOTIFY);
    if (!control)
        return FALSE;
    FillSelector(control, ListMessages, apps);
    return FollowListSelection(dialog);
}

BOOL CreateCheckList(HWND dialog, NodeList<AppRecord>& apps)
{
    HWND control = CreateSelectorControl(
        dialog, "LISTBOX", WS_HSCROLL | LBS_OWNERDRAWFIXED | LBS_WANTKEYBOARDINPUT);
    if (!control)
        return FALSE;
    const LONG_PTR listBoxProc = GetWindowLongPtrA(control, GWLP_WNDPROC);
    SetWindowLongPtrA(control, GWLP_USERDATA, listBoxProc);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckListProc));
    FillSelector(control, ListMessages, apps);
    SendMessageA(control, WM_SETFOCUS, reinterpret_cast<WPARAM>(dialog), 0);
    return TRUE;
}

bool FollowComboSelection(HWND dialog)
{
    return FollowSelection(dialog, ComboMessages);
}

bool FollowListSelection(HWND dialog)
{
    return FollowSelection(dialog, ListMessages);
}

void FollowCurrentSelection(HWND dialog, ListStyle listStyle)
{
    if (listStyle == StyleSingle)
        FollowComboSelection(dialog);
    else if (listStyle == StyleSingleList)
        FollowListSelection(dialog);
}

BOOL DrawCheckListItem(HWND, const DRAWITEMSTRUCT* item, const NodeList<AppRecord>& apps)
{
    const auto* app = reinterpret_cast<const AppRecord*>(item->itemData);
    if (!app)
        return TRUE;
    const RECT& row = item->rcItem;
    const int side = row.bottom - row.top;
    RECT box = {row.left + CheckInset, row.top + CheckInset, side - CheckInset,
                row.bottom - CheckInset};
    RECT text = row;
    text.left = side;

    const bool wholeUnselected =
        item->itemAction == ODA_DRAWENTIRE && !(item->itemState & ODS_SELECTED);
    const bool stateChange = item->itemAction == ODA_DRAWENTIRE ||
                             item->itemAction == ODA_SELECT || item->itemAction == ODA_FOCUS;
    if (wholeUnselected) {
        SetRowColours(item->hDC, false);
    } else if (stateChange) {
        DrawRowState(item, app);
    } else {
        UpdateInstallButton(apps);
        return TRUE;
    }
    DrawCheckBox(item->hDC, box, app->selected != 0);
    DrawTextA(item->hDC, app->title, -1, &text, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
    UpdateInstallButton(apps);
    return TRUE;
}

INT_PTR OnCheckListKey(WORD key, WORD caretIndex)
{
    if (key != VK_SPACE)
        return KeyDefaultAction;
    if (AppRecord* app = ItemRecord(g_windows.listControl, LB_GETITEMDATA, caretIndex))
        app->selected = app->selected ? 0 : 1;
    return KeyHandled;
}

void ToggleCurrentCheck()
{
    HWND list = g_windows.listControl;
    const LRESULT current = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (AppRecord* app = ItemRecord(list, LB_GETITEMDATA, current))
        app->selected = app->selected ? 0 : 1;
    InvalidateRect(list, nullptr, TRUE);
}

void UpdateInstallButton(const NodeList<AppRecord>& apps)
{
    // Walked by its links: the list's cursor is the interpreter's position.
    bool any = false;
    for (const AppRecord* app = apps.head; app; app = app->next)
        any = any || app->selected;
    EnableWindow(GetDlgItem(g_windows.selectionDialog, IDC_INSTALL), any);
    SendMessageA(g_windows.selectionDialog, DM_SETDEFID, any ? IDC_INSTALL : IDCANCEL, 0);
}
