// XCOPY and XCOPYA under the copy progress dialog.
#include "setup/commands/copy_dialog.h"

#include <cstdio>
#include <cstring>

#include "setup/commands/file_commands.h"
#include "setup/engine/memory.h"
#include "setup/engine/messages.h"
#include "setup/engine/paths.h"
#include "setup/engine/setup_state.h"
#include "setup/engine/show_error.h"
#include "setup/resources/resource.h"
#include "setup/ui/dialog_position.h"

namespace {

constexpr UINT kCopyTickMs = 5;
constexpr UINT WM_COPY_START = WM_APP + 1;
constexpr size_t kFolderTextCapacity = 266;

char* CopyText(const char* text)
{
    char* copy = static_cast<char*>(AllocZeroed(strlen(text) + 1));
    if (copy)
        strcpy(copy, text);
    return copy;
}

// Ends the copy after a failure: the box (its text `format` with `detail`
// when given), then the dialog ends with 0 (the run ends); the walk is
// released when the dialog goes.
int FailCopy(const char* format, const char* detail = nullptr)
{
    HWND dialog = g_setup.copyDialog;
    if (detail)
        ShowErrorWithDetail(dialog, format, detail);
    else
        ShowError(dialog, format);
    EndDialog(dialog, 0);
    return 0;
}

int FailCopyWithDestination()
{
    return FailCopy(kMsgBadDestination, g_setup.activeCommand->param2);
}

void FreeWalkNode(CopyWalkNode* node)
{
    FreeZeroed(node->sourceFolder);
    FreeZeroed(node->destFolder);
    if (node != &g_setup.rootNode)
        FreeZeroed(node);
}

// Releases every node still held: the folders from the current one up to
// the root, with the subfolders each still had queued.
void ReleaseWalk()
{
    CopyWalkNode* node = g_setup.currentNode ? g_setup.currentNode : &g_setup.rootNode;
    while (node) {
        CopyWalkNode* parent = node->parent;
        if (node->findHandle && node->findHandle != INVALID_HANDLE_VALUE)
            FindClose(node->findHandle);
        while (CopyWalkNode* queued = PopFront(node->subfolders))
            FreeWalkNode(queued);
        FreeWalkNode(node);
        node = parent;
    }
    g_setup.rootNode = CopyWalkNode{};
    g_setup.currentNode = nullptr;
    g_setup.copyDialog = nullptr;
}

// Queues a subfolder of `node` for XCOPYA.
int QueueSubfolder(CopyWalkNode* node, const char* source, const char* destination)
{
    CopyWalkNode* child = AllocRecord<CopyWalkNode>();
    char* sourceText = static_cast<char*>(AllocZeroed(kFolderTextCapacity));
    char* destText = static_cast<char*>(AllocZeroed(kFolderTextCapacity));
    if (!child || !sourceText || !destText) {
        FreeZeroed(child);
        FreeZeroed(sourceText);
        FreeZeroed(destText);
        return FailCopy(kMsgOutOfMemory);
    }
    strcpy(sourceText, source);
    strcpy(destText, destination);
    child->sourceFolder = sourceText;
    child->destFolder = destText;
    child->parent = node;
    Append(node->subfolders, child);
    return 1;
}

bool IsXcopyA()
{
    return (g_setup.activeCommand->flags & CommandCodeMask) == CmdXcopyA;
}

// True when the full path `inner` is `outer` or lies inside it.
bool PathIsInside(const char* inner, const char* outer)
{
    char innerFull[MAX_PATH], outerFull[MAX_PATH];
    const DWORD innerLength = GetFullPathNameA(inner, sizeof innerFull, innerFull, nullptr);
    const DWORD outerLength = GetFullPathNameA(outer, sizeof outerFull, outerFull, nullptr);
    if (innerLength == 0 || outerLength == 0 || innerLength >= MAX_PATH || outerLength >= MAX_PATH)
        return false;
    if (innerLength < outerLength || CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE,
                                                    innerFull, outerLength, outerFull,
                                                    outerLength) != CSTR_EQUAL)
        return false;
    return innerFull[outerLength] == '\0' || innerFull[outerLength] == '\\' ||
           outerFull[outerLength - 1] == '\\';
}

// Starts listing `node`; false when its folder has no entry at all.
bool StartListing(CopyWalkNode* node)
{
    g_setup.currentNode = node;
    SetDlgItemTextA(g_setup.copyDialog, IDC_COPY_SOURCE, node->sourceFolder);
    SetDlgItemTextA(g_setup.copyDialog, IDC_COPY_DEST, node->destFolder);
    char pattern[MAX_PATH];
    node->findHandle = JoinPath(pattern, sizeof pattern, node->sourceFolder, "*.*")
                           ? FindFirstFileA(pattern, &node->findData)
                           : INVALID_HANDLE_VALUE;
    return node->findHandle != INVALID_HANDLE_VALUE;
}

// The next folder to list after `node` is finished: its first queued
// subfolder, or that of the nearest ancestor; null when the walk is done.
CopyWalkNode* NextFolder(CopyWalkNode* node)
{
    FindClose(node->findHandle);
    node->findHandle = nullptr;
    CopyWalkNode* next = PopFront(node->subfolders);
    while (!next && node->parent) {
        CopyWalkNode* parent = node->parent;
        FreeWalkNode(node);
        node = parent;
        g_setup.currentNode = node;
        next = PopFront(node->subfolders);
    }
    return next;
}

void ArmCopyTimer()
{
    SetTimer(g_setup.copyDialog, CopyTimer, kCopyTickMs, nullptr);
}

BOOL OnCopyInit(HWND dialog, CommandRecord* cmd)
{
    g_setup.activeCommand = cmd;
    g_setup.copyDialog = dialog;
    g_setup.rootNode = CopyWalkNode{};
    g_setup.currentNode = nullptr;
    CentreDialog(dialog);
    g_setup.rootNode.destFolder = CopyText(cmd->param2);
    g_setup.rootNode.sourceFolder = CopyText(cmd->param1);
    SetDlgItemTextA(dialog, IDC_COPY_SOURCE, cmd->param1);
    SetDlgItemTextA(dialog, IDC_COPY_DEST, cmd->param2);
    // The walk starts from the dialog's own loop: an error box there may
    // destroy the dialog, which it must not do while the dialog is created.
    PostMessageA(dialog, WM_COPY_START, 0, 0);
    return TRUE;
}

void OnCopyStart(HWND dialog)
{
    CommandRecord* cmd = g_setup.activeCommand;
    if (!g_setup.rootNode.destFolder || !g_setup.rootNode.sourceFolder) {
        FailCopy(kMsgOutOfMemory);
        return;
    }
    // A tree copied into itself would never end.
    if (IsXcopyA() && PathIsInside(cmd->param2, cmd->param1)) {
        FailCopyWithDestination();
        return;
    }
    if (!StartListing(&g_setup.rootNode)) {
        EndDialog(dialog, 1);
        return;
    }
    if (ProcessCopyEntry(&g_setup.rootNode))
        ArmCopyTimer();
}

void OnCopyStep(HWND dialog)
{
    KillTimer(dialog, CopyTimer);
    CopyWalkNode* node = g_setup.currentNode;
    if (FindNextFileA(node->findHandle, &node->findData)) {
        if (ProcessCopyEntry(node))
            ArmCopyTimer();
        return;
    }
    CopyWalkNode* next = NextFolder(node);
    if (!next) {
        EndDialog(dialog, 1);
        return;
    }
    if (!StartListing(next)) {
        EndDialog(dialog, 1);
        return;
    }
    if (ProcessCopyEntry(next))
        ArmCopyTimer();
}

INT_PTR CALLBACK CopyProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnCopyInit(dialog, reinterpret_cast<CommandRecord*>(lParam));
    case WM_COPY_START:
        OnCopyStart(dialog);
        return FALSE;
    case WM_TIMER:
        OnCopyStep(dialog);
        return FALSE;
    case WM_DESTROY:
        ReleaseWalk();
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int ProcessCopyEntry(CopyWalkNode* node)
{
    const char* name = node->findData.cFileName;
    char source[MAX_PATH], destination[MAX_PATH];
    const bool fits = JoinPath(source, sizeof source, node->sourceFolder, name) &&
                      JoinPath(destination, sizeof destination, node->destFolder, name);
    if (!EnsureDirectoryPath(node->destFolder, 1, 1))
        return FailCopyWithDestination();
    if (name[0] == '.')
        return 1;
    // A path that would grow past the limit is refused, never cut.
    if (!fits)
        return FailCopy(kMsgCopyFailed);
    if (node->findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return IsXcopyA() ? QueueSubfolder(node, source, destination) : 1;
    SetDlgItemTextA(g_setup.copyDialog, IDC_COPY_FILE, name);
    SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileA(source, destination, FALSE))
        return FailCopy(kMsgCopyFailed);
    return 1;
}

int XcopyCommand(CommandRecord* cmd)
{
    return static_cast<int>(DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_COPY),
                                            g_setup.backgroundWindow, CopyProgressDialogProc,
                                            reinterpret_cast<LPARAM>(cmd)));
}
