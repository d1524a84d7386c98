// The application selection dialog.
#include "setup/ui/selection_dialog.h"

#include <cstring>

#include "setup/engine/inf_parser.h"
#include "setup/engine/interpreter.h"
#include "setup/engine/memory.h"
#include "setup/engine/messages.h"
#include "setup/engine/paths.h"
#include "setup/engine/setup_state.h"
#include "setup/engine/show_error.h"
#include "setup/resources/resource.h"
#include "setup/ui/dialog_position.h"
#include "setup/ui/selectors.h"

namespace {

constexpr DWORD kSectionCapacity = 10240;
constexpr char kDefaultPattern[] = "QV*.INF";

// One file already offered to LoadAppInf while applications are collected.
struct SeenNode {
    SeenNode* next;
    char path[PathCapacity];
};

// A zero-filled heap block freed when it goes out of scope.
class HeapBlock {
public:
    explicit HeapBlock(size_t size) : block_(static_cast<char*>(AllocZeroed(size))) {}
    ~HeapBlock() { FreeZeroed(block_); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    char* get() const { return block_; }

private:
    char* block_;
};

void ReadMasterConfig(const char* key, const char* fallback, char* value, DWORD capacity)
{
    GetPrivateProfileStringA("QvSetupConfig", key, fallback, value, capacity,
                             g_setup.masterInfPath);
}

bool WasSeen(NodeList<SeenNode>& seen, const char* path)
{
    for (SeenNode* node = First(seen); node; node = Next(seen)) {
        if (EqualsIgnoreCase(node->path, path))
            return true;
    }
    return false;
}

enum class Offer { Loaded, Skipped, NoMemory, Fatal };

// Offers one found file to LoadAppInf unless an earlier pattern found it.
Offer OfferFile(HWND dialog, NodeList<SeenNode>& seen, const char* name)
{
    SeenNode* node = AllocRecord<SeenNode>();
    if (!node)
        return Offer::NoMemory;
    if (!JoinPath(node->path, sizeof node->path, g_setup.sourceDir, name) ||
        WasSeen(seen, node->path)) {
        FreeZeroed(node);
        return Offer::Skipped;
    }
    if (!LoadAppInf(dialog, node->path)) {
        FreeZeroed(node);
        return Offer::Fatal;
    }
    Append(seen, node);
    return Offer::Loaded;
}

// Loads the files matching one [Priority] pattern in directory order;
// false after a fatal error that LoadAppInf reported.
bool CollectPattern(HWND dialog, NodeList<SeenNode>& seen, const char* patternLine)
{
    char pattern[PathCapacity];
    if (!JoinPath(pattern, sizeof pattern, g_setup.sourceDir, patternLine))
        return true;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    // No memory for a seen-node ends this pattern silently; a fatal load
    // ends the whole collection.
    Offer offer = Offer::Skipped;
    do {
        offer = OfferFile(dialog, seen, found.cFileName);
    } while (offer != Offer::NoMemory && offer != Offer::Fatal && FindNextFileA(search, &found));
    FindClose(search);
    return offer != Offer::Fatal;
}

// Loads every application INF that a [Priority] line finds, in line order,
// each file once.
bool CollectApplications(HWND dialog, const char* patterns)
{
    NodeList<SeenNode> seen = {};
    bool ok = true;
    for (const char* line = patterns; *line && ok; line += strlen(line) + 1) {
        if (line[0] != ';')
            ok = CollectPattern(dialog, seen, line);
    }
    while (SeenNode* node = PopFront(seen))
        FreeZeroed(node);
    return ok;
}

// Reads one pseudo-application's section of the master INF; it takes part
// in the run only when the section has commands.
bool LoadPseudoApp(HWND dialog, AppRecord& pseudo, const char* section)
{
    FreeAppRecordLists(&pseudo);
    pseudo = AppRecord{};
    strcpy(pseudo.infPath, g_setup.masterInfPath);
    if (!LoadCommandSection(dialog, &pseudo, section))
        return false;
    if (Count(pseudo.commands) > 0) {
        pseudo.listIndex = -1;
        pseudo.selected = 1;
    }
    return true;
}

// Puts a copy of the pseudo-application at the head of the run; the list
// then owns its commands. False when no copy could be made.
bool PushPseudoApp(AppRecord& pseudo)
{
    AppRecord* copy = AllocRecord<AppRecord>();
    if (!copy)
        return false;
    *copy = pseudo;
    pseudo.commands = NodeList<CommandRecord>{};
    pseudo.cdChecks = NodeList<CheckCdromEntry>{};
    PushFront(g_setup.appList, copy);
    return true;
}

void ApplyCancelPermission(HWND dialog)
{
    char cancel[6];
    ReadMasterConfig("CANCEL", "YES", cancel, sizeof cancel);
    g_setup.cancelAllowed = EqualsIgnoreCase(cancel, "NO") ? 0 : 1;
    if (g_setup.cancelAllowed)
        return;
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);
}

// Caption, prompt, icon and position of the dialog.
void PresentDialog(HWND dialog)
{
    g_setup.appIcon = LoadIconA(g_setup.instance, MAKEINTRESOURCEA(IDI_SETUP));
    if (!g_setup.showBackground) {
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_setup.appIcon));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_setup.appIcon));
    }
    char title[64];
    ReadMasterConfig("TITLE", "選択", title, sizeof title);
    SetWindowTextA(dialog, title);
    char prompt[128];
    ReadMasterConfig("DLGMSG", "", prompt, sizeof prompt);
    if (prompt[0] != '\0')
        SetDlgItemTextA(dialog, IDC_PROMPT, prompt);

    g_setup.dialogClientRect = CentreDialog(dialog);
}

// [ExcludeForegroundWindow] captions into excludeList, each line whole. A
// node that can't be allocated ends the list silently.
void LoadExcludeList(const char* lines)
{
    FreeExcludeList();
    for (const char* line = lines; *line; line += strlen(line) + 1) {
        WindowTitleNode* node = AllocRecord<WindowTitleNode>();
        char* title = static_cast<char*>(AllocZeroed(strlen(line) + 1));
        if (!node || !title) {
            FreeZeroed(node);
            FreeZeroed(title);
            return;
        }
        strcpy(title, line);
        node->title = title;
        Append(g_setup.excludeList, node);
    }
}

// Reads a whole master INF section into a 10240-byte block; an empty
// section gives `fallback` as its one line.
void ReadMasterSection(const char* section, char* lines, const char* fallback)
{
    if (GetPrivateProfileSectionA(section, lines, kSectionCapacity, g_setup.masterInfPath) == 0)
        strcpy(lines, fallback);
}

BOOL BuildSelector(HWND dialog)
{
    switch (g_setup.listStyle) {
    case StyleMulti:
        return CreateCheckList(dialog);
    case StyleSingle:
        return CreateComboSelector(dialog);
    case StyleSingleList:
        return CreateListSelector(dialog);
    default:
        ShowError(dialog, kMsgFatalError);
        return FALSE;
    }
}

BOOL InitSelectionDialog(HWND dialog)
{
    PresentDialog(dialog);
    ApplyCancelPermission(dialog);

    HeapBlock priority(kSectionCapacity);
    HeapBlock exclude(kSectionCapacity);
    if (!priority.get() || !exclude.get()) {
        ShowError(dialog, kMsgOutOfMemory);
        return FALSE;
    }
    ReadMasterSection("Priority", priority.get(), kDefaultPattern);
    ReadMasterSection("ExcludeForegroundWindow", exclude.get(), "");
    LoadExcludeList(exclude.get());

    if (!LoadPseudoApp(dialog, g_setup.defaultInstall, "DefaultInstall") ||
        !LoadPseudoApp(dialog, g_setup.cancelInstall, "CancelInstall")) {
        DestroyWindow(dialog);
        return FALSE;
    }
    FreeAppList();
    if (!CollectApplications(dialog, priority.get())) {
        PostQuitMessage(0);
        return FALSE;
    }
    if (Count(g_setup.appList) == 0) {
        SendMessageA(dialog, WM_COMMAND, IDC_INSTALL, 0);
        return FALSE;
    }
    return BuildSelector(dialog);
}

// Install: [DefaultInstall] first, then the chosen applications.
void OnInstall(HWND dialog)
{
    if (g_setup.defaultInstall.selected)
        PushPseudoApp(g_setup.defaultInstall);
    FreeAppRecordLists(&g_setup.cancelInstall);
    PostMessageA(g_setup.backgroundWindow, WM_START_INSTALL, 0, 0);
    DestroyWindow(dialog);
}

// Cancel: only [CancelInstall] runs; without it the program ends.
void OnCancel(HWND dialog)
{
    FreeAppList();
    FreeAppRecordLists(&g_setup.defaultInstall);
    if (g_setup.cancelInstall.selected) {
        if (PushPseudoApp(g_setup.cancelInstall))
            PostMessageA(g_setup.backgroundWindow, WM_START_INSTALL, 0, 0);
    } else {
        SendMessageA(g_setup.backgroundWindow, WM_CLOSE, 0, 0);
    }
    DestroyWindow(dialog);
}

void OnSelectionCommand(HWND dialog, WORD code, WORD id)
{
    if (code == 1) {
        if (g_setup.listStyle == StyleSingle)
            FollowComboSelection(dialog);
        else if (g_setup.listStyle == StyleSingleList)
            FollowListSelection(dialog);
    } else if (code == 0 && id == IDC_INSTALL) {
        OnInstall(dialog);
    } else if (code == 0 && id == IDCANCEL) {
        OnCancel(dialog);
    }
}

// While minimised the dialog shows the program icon in its client area.
void OnSelectionPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (IsIconic(dialog)) {
        SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(dialog, &client);
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, g_setup.appIcon);
    }
    EndPaint(dialog, &paint);
}

// With no application left the program ends; otherwise the background
// window runs the list it has been handed.
void OnSelectionDestroy()
{
    g_setup.selectionDialog = nullptr;
    g_setup.listControl = nullptr;
    if (Count(g_setup.appList) == 0)
        PostQuitMessage(0);
}

} // namespace

void FreeExcludeList()
{
    while (WindowTitleNode* node = PopFront(g_setup.excludeList)) {
        FreeZeroed(node->title);
        FreeZeroed(node);
    }
}

INT_PTR CALLBACK SelectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitSelectionDialog(dialog);
    case WM_COMMAND:
        OnSelectionCommand(dialog, HIWORD(wParam), LOWORD(wParam));
        return TRUE;
    case WM_DRAWITEM:
        if (g_setup.listStyle != StyleMulti)
            return FALSE;
        return DrawCheckListItem(dialog, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_VKEYTOITEM:
        return OnCheckListKey(LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT:
        OnSelectionPaint(dialog);
        return FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(g_setup.appIcon);
    case WM_DESTROY:
        OnSelectionDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}
