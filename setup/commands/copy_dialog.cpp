// XCOPY and XCOPYA under the copy progress dialog.
#include "setup/commands/copy_dialog.h"

#include <cstdio>
#include <cstring>

#include "setup/commands/file_commands.h"
#include "setup/core/dbcs.h"
#include "setup/core/memory.h"
#include "setup/core/messages.h"
#include "setup/core/paths.h"
#include "setup/resources/resource.h"
#include "setup/ui/dialog_position.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"
#include "setup/ui/message_pump.h"

namespace {

constexpr UINT CopyTickMs = 5;
// With FASTCOPY, how long the walk goes on before the dialog handles its
// messages again.
constexpr DWORD FastCopySliceMs = 30;
constexpr UINT WM_COPY_START = WM_APP + 1;
constexpr size_t FolderTextCapacity = 266;
constexpr INT_PTR CopyDone = 1;     // the dialog's result: the run goes on
constexpr INT_PTR CopyFailed = 0;   // the run ends

// One folder of the walk.
struct CopyWalkNode {
    CopyWalkNode* next;
    HANDLE findHandle;                    // search over this folder, while listed
    NodeList<CopyWalkNode> subfolders;    // found here and not yet visited
    CopyWalkNode* parent;                 // null for the root
    char* sourceFolder;
    char* destFolder;
    WIN32_FIND_DATAA findData;            // the entry the search returned last
    bool destMade;                        // FASTCOPY: destFolder is known to exist
};

// One copy: the dialog's record, kept in its user data.
struct CopyWalk {
    CommandRecord* cmd;
    HWND dialog;
    CopyWalkNode root;                    // the source folder of the copy
    CopyWalkNode* current;                // the folder being listed
    char lastFile[MAX_PATH];              // FASTCOPY: the file copied last, not yet shown
    bool fastCopy;                        // FASTCOPY=YES: the copy goes at the speed of the disc
};

CopyWalk* WalkOf(HWND dialog)
{
    return reinterpret_cast<CopyWalk*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

char* CopyText(const char* text)
{
    char* copy = static_cast<char*>(AllocZeroed(strlen(text) + 1));
    if (copy)
        strcpy(copy, text);
    return copy;
}

// Ends the copy after its failure's box: the dialog ends so that the run
// ends; the walk is released when the dialog goes.
bool EndFailedCopy(const CopyWalk& walk)
{
    EndDialog(walk.dialog, CopyFailed);
    return false;
}

bool FailCopy(const CopyWalk& walk, const char* text)
{
    ShowError(walk.dialog, text);
    return EndFailedCopy(walk);
}

// The command's own failure box, which names its destination.
bool FailCopyWithDestination(const CopyWalk& walk)
{
    ShowCommandFailure(walk.dialog, *walk.cmd);
    return EndFailedCopy(walk);
}

void FreeWalkNode(CopyWalk& walk, CopyWalkNode* node)
{
    FreeZeroed(node->sourceFolder);
    FreeZeroed(node->destFolder);
    if (node != &walk.root)
        FreeZeroed(node);
}

// Releases every node still held: the folders from the current one up to
// the root, with the subfolders each still had queued.
void ReleaseWalk(CopyWalk& walk)
{
    CopyWalkNode* node = walk.current ? walk.current : &walk.root;
    while (node) {
        CopyWalkNode* parent = node->parent;
        if (node->findHandle && node->findHandle != INVALID_HANDLE_VALUE)
            FindClose(node->findHandle);
        while (CopyWalkNode* queued = PopFront(node->subfolders))
            FreeWalkNode(walk, queued);
        FreeWalkNode(walk, node);
        node = parent;
    }
    walk.root = CopyWalkNode{};
    walk.current = nullptr;
}

// Queues a subfolder of `node` for XCOPYA.
bool QueueSubfolder(const CopyWalk& walk, CopyWalkNode* node, const char* source,
                    const char* destination)
{
    CopyWalkNode* child = AllocRecord<CopyWalkNode>();
    char* sourceText = static_cast<char*>(AllocZeroed(FolderTextCapacity));
    char* destText = static_cast<char*>(AllocZeroed(FolderTextCapacity));
    if (!child || !sourceText || !destText) {
        FreeZeroed(child);
        FreeZeroed(sourceText);
        FreeZeroed(destText);
        return FailCopy(walk, MsgOutOfMemory);
    }
    strcpy(sourceText, source);
    strcpy(destText, destination);
    child->sourceFolder = sourceText;
    child->destFolder = destText;
    child->parent = node;
    Append(node->subfolders, child);
    return true;
}

bool TakesSubfolders(const CopyWalk& walk)
{
    return CommandHas(walk.cmd->flags, TraitCopiesSubfolders);
}

enum class Listing {
    Started,    // the first entry is in the node's findData
    NoFolder,   // the folder does not exist, or holds no entry at all
    Failed,     // it exists or may exist, but can't be listed
};

// Starts listing `node`. A search pattern that does not fit, a read error
// or a folder without access is a failure: only "not found" means that
// there is nothing to copy.
Listing StartListing(CopyWalk& walk, CopyWalkNode* node)
{
    walk.current = node;
    SetDlgItemTextA(walk.dialog, IDC_COPY_SOURCE, node->sourceFolder);
    SetDlgItemTextA(walk.dialog, IDC_COPY_DEST, node->destFolder);
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, sizeof pattern, node->sourceFolder, "*.*")) {
        node->findHandle = INVALID_HANDLE_VALUE;
        return Listing::Failed;
    }
    node->findHandle = FindFirstFileA(pattern, &node->findData);
    if (node->findHandle != INVALID_HANDLE_VALUE)
        return Listing::Started;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                   error == ERROR_NO_MORE_FILES
               ? Listing::NoFolder
               : Listing::Failed;
}

// The next folder to list after `node` is finished: its first queued
// subfolder, or that of the nearest ancestor; null when the walk is done.
CopyWalkNode* NextFolder(CopyWalk& walk, CopyWalkNode* node)
{
    FindClose(node->findHandle);
    node->findHandle = nullptr;
    CopyWalkNode* next = PopFront(node->subfolders);
    while (!next && node->parent) {
        CopyWalkNode* parent = node->parent;
        FreeWalkNode(walk, node);
        node = parent;
        walk.current = node;
        next = PopFront(node->subfolders);
    }
    return next;
}

// Copies over an existing destination, a read-only one too. With FASTCOPY
// the attributes are cleared only when a first try fails, which saves a
// call for every file that is not there yet.
bool CopyOver(const char* source, const char* destination, bool fastCopy)
{
    if (fastCopy && CopyFileA(source, destination, FALSE))
        return true;
    SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    return CopyFileA(source, destination, FALSE) != FALSE;
}

void ShowLastFile(CopyWalk& walk)
{
    if (walk.lastFile[0] != '\0')
        SetDlgItemTextA(walk.dialog, IDC_COPY_FILE, walk.lastFile);
    walk.lastFile[0] = '\0';
}

// Handles the entry in node->findData; false after a failure, shown and
// with the dialog ended.
bool ProcessCopyEntry(CopyWalk& walk, CopyWalkNode* node)
{
    const char* name = node->findData.cFileName;
    char source[MAX_PATH], destination[MAX_PATH];
    const bool fits = JoinPath(source, sizeof source, node->sourceFolder, name) &&
                      JoinPath(destination, sizeof destination, node->destFolder, name);
    // Each entry makes sure of its folder; with FASTCOPY once a folder.
    if (!node->destMade && !EnsureDirectoryPath(node->destFolder, EnsureCreate | EnsureWholePath))
        return FailCopyWithDestination(walk);
    node->destMade = walk.fastCopy;
    if (name[0] == '.')
        return true;
    // A path that would grow past the limit is refused, never cut.
    if (!fits)
        return FailCopy(walk, MsgCopyFailed);
    if (node->findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return TakesSubfolders(walk) ? QueueSubfolder(walk, node, source, destination) : true;
    // With FASTCOPY the file's name shows at the end of the tick, or before
    // the box when its copy fails.
    if (walk.fastCopy)
        snprintf(walk.lastFile, sizeof walk.lastFile, "%s", name);
    else
        SetDlgItemTextA(walk.dialog, IDC_COPY_FILE, name);
    if (!CopyOver(source, destination, walk.fastCopy)) {
        ShowLastFile(walk);
        return FailCopy(walk, MsgCopyFailed);
    }
    return true;
}

void ArmCopyTimer(HWND dialog)
{
    SetTimer(dialog, CopyTimer, CopyTickMs, nullptr);
}

BOOL OnCopyInit(HWND dialog, CopyWalk* walk)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(walk));
    walk->dialog = dialog;
    CentreDialog(dialog);
    walk->root.destFolder = CopyText(walk->cmd->param2);
    walk->root.sourceFolder = CopyText(walk->cmd->param1);
    SetDlgItemTextA(dialog, IDC_COPY_SOURCE, walk->cmd->param1);
    SetDlgItemTextA(dialog, IDC_COPY_DEST, walk->cmd->param2);
    // The walk starts from the dialog's own loop: an error box there ends
    // the dialog, which it must not do while the dialog is created.
    PostMessageA(dialog, WM_COPY_START, 0, 0);
    return TRUE;
}

// Lists `node` and copies its first entry. A source folder that does not
// exist copies nothing and succeeds, as scripts rely on; a folder that can't
// be listed (a read error of the disc, no access, a path too long) is a
// failure, and so is a subfolder that went missing: the tree would be
// copied in part while the run reports success.
// Answers whether the walk goes on (false: it ended, the dialog with it).
bool ContinueWith(CopyWalk& walk, CopyWalkNode* node)
{
    const Listing listing = StartListing(walk, node);
    if (listing != Listing::Started) {
        if (listing == Listing::NoFolder && node == &walk.root)
            EndDialog(walk.dialog, CopyDone);
        else
            FailCopy(walk, MsgCopyFailed);
        return false;
    }
    return ProcessCopyEntry(walk, node);
}

// One entry of the walk: the next of the current folder, or the first of
// the next folder; answers whether the walk goes on.
bool StepWalk(CopyWalk& walk)
{
    CopyWalkNode* node = walk.current;
    if (FindNextFileA(node->findHandle, &node->findData))
        return ProcessCopyEntry(walk, node);
    CopyWalkNode* next = NextFolder(walk, node);
    if (next)
        return ContinueWith(walk, next);
    EndDialog(walk.dialog, CopyDone);
    return false;
}

void OnCopyStart(CopyWalk& walk)
{
    if (!walk.root.destFolder || !walk.root.sourceFolder) {
        FailCopy(walk, MsgOutOfMemory);
        return;
    }
    // A tree copied into itself would never end.
    if (TakesSubfolders(walk) && PathIsInside(walk.cmd->param2, walk.cmd->param1)) {
        FailCopyWithDestination(walk);
        return;
    }
    if (ContinueWith(walk, &walk.root))
        ArmCopyTimer(walk.dialog);
}

// Entries for one slice of time; answers whether the walk goes on.
bool StepWalkForSlice(CopyWalk& walk)
{
    const DWORD start = GetTickCount();
    bool goesOn = StepWalk(walk);
    while (goesOn && GetTickCount() - start < FastCopySliceMs)
        goesOn = StepWalk(walk);
    return goesOn;
}

// FASTCOPY: slices of the walk one after the other, the messages that
// wait handled between them (the dialog paints and answers), with no
// timer's pause between slices. Ends when the walk ends, the program is to
// end, or the dialog went with its window (closed from outside).
void CopyInSlices(CopyWalk& walk)
{
    const HWND dialog = walk.dialog;
    while (StepWalkForSlice(walk)) {
        ShowLastFile(walk);
        if (!DispatchWaitingMessages() || !IsWindow(dialog) || !walk.current)
            return;
    }
}

// One entry a tick; with FASTCOPY, the whole walk from the first tick on.
void OnCopyStep(CopyWalk& walk)
{
    KillTimer(walk.dialog, CopyTimer);
    if (walk.fastCopy)
        CopyInSlices(walk);
    else if (StepWalk(walk))
        ArmCopyTimer(walk.dialog);
}

INT_PTR CALLBACK CopyProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnCopyInit(dialog, reinterpret_cast<CopyWalk*>(lParam));
    CopyWalk* walk = WalkOf(dialog);
    if (!walk)
        return FALSE;
    switch (message) {
    case WM_COPY_START:
        OnCopyStart(*walk);
        return FALSE;
    case WM_TIMER:
        OnCopyStep(*walk);
        return FALSE;
    case WM_DESTROY:
        ReleaseWalk(*walk);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

bool XcopyCommand(CommandRecord* cmd, const CommandScene& scene)
{
    CopyWalk walk = {};
    walk.cmd = cmd;
    walk.fastCopy = scene.media.config.fastCopy;
    // A dialog that can't be created at all answers -1: the run goes on.
    return DialogBoxParamA(g_windows.instance, MAKEINTRESOURCEA(IDD_COPY), g_windows.background,
                           CopyProgressDialogProc, reinterpret_cast<LPARAM>(&walk)) != CopyFailed;
}
