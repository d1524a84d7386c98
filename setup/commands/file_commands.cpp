// File commands: COPY, EXPAND, DELETE, DELALL, SETATT and EXIST.
#include "setup/commands/file_commands.h"

#include <windows.h>
#include <lzexpand.h>

#include <cstdio>
#include <cstring>

#include "common/owners.h"
#include "setup/core/attribute_changes.h"
#include "setup/core/command_text.h"
#include "setup/core/lz_header.h"
#include "setup/core/dbcs.h"
#include "setup/core/messages.h"
#include "setup/core/paths.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"

namespace {

constexpr size_t DriveRootLength = 3; // "C:\"
constexpr uint32_t LargestExpandedLength = 0x7FFFFFFFu;

// What a directory search for `prefix` would find, asked the cheap way
// first: the walk runs for every file command, once per folder level.
bool FolderPrefixExists(const char* prefix)
{
    // A name that ends in a backslash is not found by a search.
    const char* last = FindLastBackslash(prefix);
    const bool trailingBackslash = last && last[1] == '\0';
    if (!trailingBackslash && GetFileAttributesA(prefix) != INVALID_FILE_ATTRIBUTES)
        return true;
    return AnythingMatches(prefix);
}

// Opens an LZ file; a failed open gives the negative LZERROR_ value.
INT OpenLzFile(const char* path, WORD style)
{
    OFSTRUCT info = {};
    return LZOpenFileA(const_cast<char*>(path), &info, style);
}

// The expanded length that a compressed file announces, or -1 for a file
// that is not compressed (or can't be read).
LONG AnnouncedLength(const char* path)
{
    const KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return -1;
    unsigned char header[SzddHeaderSize];
    DWORD read = 0;
    const BOOL ok = ReadFile(file.get(), header, sizeof header, &read, nullptr);
    uint32_t length = 0;
    if (!ok || !ReadSzddLength(header, read, &length) || length > LargestExpandedLength)
        return -1;
    return static_cast<LONG>(length);
}

// Expands (or copies unchanged) source into destination. A compressed file
// that gives fewer bytes than its header announces is damaged: a failure,
// although the library reports none.
bool ExpandFile(const char* source, const char* destination)
{
    const LONG announced = AnnouncedLength(source);
    // The destination is made only once the source is open: a source that
    // can't be read leaves an existing destination as it was.
    const INT from = OpenLzFile(source, OF_READ);
    if (from < 0)
        return false;
    const INT to = OpenLzFile(destination, OF_CREATE | OF_WRITE);
    const LONG written = to >= 0 ? LZCopy(from, to) : -1;
    const bool ok = written >= 0 && (announced < 0 || written == announced);
    LZClose(from);
    if (to >= 0)
        LZClose(to);
    return ok;
}

bool CopyOneFile(const char* source, const char* destination)
{
    return CopyFileA(source, destination, FALSE) != FALSE;
}

// Where the file `path` lies on its volume; false when it can't be opened.
bool IdentityOf(const char* path, BY_HANDLE_FILE_INFORMATION* identity)
{
    const KernelHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && GetFileInformationByHandle(file.get(), identity);
}

// True when the destination is the source itself, by its name or by
// another name of the same file (a short name).
bool IsItsOwnDestination(const char* source, const char* destination)
{
    if (NamesSamePath(source, destination))
        return true;
    BY_HANDLE_FILE_INFORMATION from = {}, to = {};
    return IdentityOf(source, &from) && IdentityOf(destination, &to) &&
           from.dwVolumeSerialNumber == to.dwVolumeSerialNumber &&
           from.nFileIndexHigh == to.nFileIndexHigh && from.nFileIndexLow == to.nFileIndexLow;
}

// COPY and EXPAND: the destination's folders are made, a read-only
// destination is replaced, and any failure names the source. A source
// that is its own destination fails untouched: opening the destination
// would empty it before it is read.
bool TransferFile(CommandRecord* cmd, bool (*transfer)(const char*, const char*))
{
    if (IsItsOwnDestination(cmd->param1, cmd->param2))
        return ShowCommandFailure(g_windows.background, *cmd);
    if (!EnsureDirectoryPath(cmd->param2, EnsureCreate))
        return ShowCommandFailure(g_windows.background, *cmd);
    SetFileAttributesA(cmd->param2, FILE_ATTRIBUTE_NORMAL);
    if (!transfer(cmd->param1, cmd->param2))
        return ShowCommandFailure(g_windows.background, *cmd);
    return true;
}

void RemoveEntry(const char* path)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
}

} // namespace

bool EnsureDirectoryPath(const char* path, uint32_t options)
{
    char full[MAX_PATH];
    char* filePart = nullptr;
    const DWORD length = GetFullPathNameA(path, sizeof full, full, &filePart);
    if (length == 0 || length >= sizeof full)
        return false;
    const bool wholePath = (options & EnsureWholePath) != 0;
    const size_t end = (wholePath || !filePart) ? length + 1 : static_cast<size_t>(filePart - full);
    if (end <= DriveRootLength)
        return true;
    for (size_t i = DriveRootLength; i < end; ++i) {
        // The trail byte of a double-byte character is no separator ("表" is 95 5C).
        if (IsLeadByte932(static_cast<unsigned char>(full[i])) && i + 1 < length) {
            ++i;
            continue;
        }
        if (full[i] != '\\' && full[i] != '\0')
            continue;
        const char kept = full[i];
        full[i] = '\0';
        const bool found = FolderPrefixExists(full);
        if (!found && (!(options & EnsureCreate) || !CreateDirectoryA(full, nullptr)))
            return false;
        full[i] = kept;
    }
    return true;
}

bool CopyCommand(CommandRecord* cmd, const CommandScene&)
{
    return TransferFile(cmd, CopyOneFile);
}

bool ExpandCommand(CommandRecord* cmd, const CommandScene&)
{
    return TransferFile(cmd, ExpandFile);
}

bool DeleteCommand(CommandRecord* cmd, const CommandScene&)
{
    if (!EnsureDirectoryPath(cmd->param1, EnsureTestOnly))
        return false;
    RemoveEntry(cmd->param1);
    return true;
}

// A second field that is empty or not a number means no subfolders.
bool DelallCommand(CommandRecord* cmd, const CommandScene&)
{
    int32_t recursive = 0;
    if (!ReadDecimal(cmd->param2, &recursive))
        recursive = 0;
    return DeleteTree(cmd->param1, recursive != 0);
}

bool DeleteTree(const char* folder, bool recursive)
{
    if (!EnsureDirectoryPath(folder, EnsureTestOnly))
        return false;
    char pattern[MAX_PATH];
    WIN32_FIND_DATAA found;
    const FindHandle search(JoinPath(pattern, sizeof pattern, folder, "*.*")
                                ? FindFirstFileA(pattern, &found)
                                : INVALID_HANDLE_VALUE);
    if (search.valid()) {
        do {
            char entry[MAX_PATH];
            // Dot names stay; so does an entry whose path would not fit.
            if (found.cFileName[0] == '.' || !JoinPath(entry, sizeof entry, folder, found.cFileName))
                continue;
            // A folder link is removed as a link: what it points at is not ours.
            const bool subfolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                   !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
            if (recursive && subfolder && !DeleteTree(entry, recursive))
                return false;
            RemoveEntry(entry);
            if (recursive && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveDirectoryA(entry);
        } while (FindNextFileA(search.get(), &found));
    }
    SetFileAttributesA(folder, FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder);
    return true;
}

bool SetattCommand(CommandRecord* cmd, const CommandScene&)
{
    const DWORD attributes = GetFileAttributesA(cmd->param1);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ShowCommandFailure(g_windows.background, *cmd);
    uint32_t value = attributes;
    switch (ApplyAttributeChanges(cmd->param2, &value)) {
    case AttributeChange::RefusedSilently:
        return false;
    case AttributeChange::Refused:
        return ShowCommandFailure(g_windows.background, *cmd);
    case AttributeChange::Applied:
        break;
    }
    if (!SetFileAttributesA(cmd->param1, value))
        return ShowCommandFailure(g_windows.background, *cmd);
    return true;
}

void TestExist(CommandRecord* cmd)
{
    const bool present = EnsureDirectoryPath(cmd->param1, EnsureTestOnly) &&
                         AnythingMatches(cmd->param1);
    cmd->busy = present ? 0 : 1;
}

bool ExistCommand(CommandRecord* cmd, const CommandScene&)
{
    TestExist(cmd);
    return true;
}
