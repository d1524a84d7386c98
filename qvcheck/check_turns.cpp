// The checks of what a command meets at its turn that the media alone
// decide: a field it needs left empty, a destination that can name no file
// or folder, a program that is a folder, a file copied onto itself, a path
// that no search finds for its backslash at the end; and, as a warning, a
// DELETE or DELALL under a folder the target may lack.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "qvcheck/media_checker.h"
#include "qvcheck/wording.h"
#include "setup/core/dbcs.h"
#include "setup/core/messages.h"
#include "setup/core/paths.h"
#include "setup/core/system_folders.h"

namespace {

constexpr size_t DriveLength = DiscProbe::DriveLength;   // "C:"

std::string Formatted(const char* format, const char* detail)
{
    char text[2 * PathCapacity + 128];
    snprintf(text, sizeof text, format, detail);
    return text;
}

bool EndsWithBackslash(const std::string& path)
{
    const char* last = FindLastBackslash(path.c_str());
    return last && last[1] == '\0';
}

// (A CP932 trail byte is never * or ?.)
bool HoldsWildcard(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

bool IsDriveRoot(const std::string& path)
{
    return (path.size() == DriveLength || (path.size() == DriveLength + 1 && path[2] == '\\')) &&
           path[1] == ':';
}

// The folders that every Windows of the described system's family has.
std::vector<std::string> SystemFolders(const Machine& machine)
{
    return FoldersEveryWindowsHas(MacroValuesOf(machine), machine.platformId == VER_PLATFORM_WIN32_NT);
}

// The folders that every target machine has: the system's folders and the
// drive roots.
bool IsFolderEveryTargetHas(const std::string& path, const Machine& machine)
{
    if (IsDriveRoot(path))
        return true;
    for (const std::string& folder : SystemFolders(machine)) {
        if (NamesSamePath(path.c_str(), folder.c_str()))
            return true;
    }
    return false;
}

// The program that a command line starts, as CreateProcessA reads it: the
// quoted part, or the text up to the first blank, or the whole line.
std::vector<std::string> ProgramCandidates(const std::string& commandLine)
{
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        return {commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1)};
    }
    return {commandLine.substr(0, commandLine.find(' ')), commandLine};
}

// The folder above `path` (a full path with its drive), or empty.
std::string FolderAbove(const std::string& path)
{
    const char* last = FindLastBackslash(path.c_str());
    return last ? path.substr(0, static_cast<size_t>(last - path.c_str())) : std::string();
}

bool IsFullPath(const std::string& path)
{
    return path.size() > DriveLength + 1 && path[1] == ':' && path[2] == '\\';
}

// A path on the CD-ROM drive or the floppy drive.
bool IsOnADisc(const std::string& path, const Machine& machine)
{
    return IsOnCdrom(path, machine) || FoldAscii(path[0]) == machine.fdLetter;
}

} // namespace

std::string FailureBox(const CommandRecord& cmd)
{
    const CommandFacts* facts = FactsOf(cmd.flags);
    if (!facts || !facts->failureBox)
        return std::string();
    return Formatted(facts->failureBox, FailureDetail(cmd.flags, cmd.param1, cmd.param2));
}

void MediaChecker::CheckTurn(const std::string& line, const CommandRecord& cmd, const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    if (!CheckNeededFields(line, cmd, place)) {
        if (CommandHas(code, TraitStartsProgram))
            CheckProgram(cmd, place);
        if (CommandHas(code, TraitWritesFile))
            CheckFileDestination(cmd, place);
        if (CommandHas(code, TraitCopiesTree))
            CheckTreeDestination(cmd, place);
        if (CommandHas(code, TraitTestsPath))
            CheckTestedPath(cmd, place);
    }
    NoteFoldersMade(cmd);
}

// A field the command needs, empty; true when one was reported.
bool MediaChecker::CheckNeededFields(const std::string& line, const CommandRecord& cmd,
                                     const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    int empty = 0;
    if (CommandHas(code, TraitNeedsFirst) && cmd.param1[0] == '\0')
        empty = 1;
    else if (CommandHas(code, TraitNeedsSecond) && cmd.param2[0] == '\0' &&
             !(CommandHas(code, TraitCopiesTree) && SourceSurelyAbsent(cmd)))
        empty = 2;
    if (!empty)
        return false;
    TokenizeStop stop = {};
    FieldLengths(line, MacroValuesOf(judged_.machine), &stop);
    Fail(place, say::EmptyField(code, empty, stop.quoteOpen), FailureBox(cmd));
    return true;
}

void MediaChecker::CheckProgram(const CommandRecord& cmd, const Place& place)
{
    for (const std::string& program : ProgramCandidates(cmd.param1)) {
        if (IsFolderEveryTargetHas(program, judged_.machine)) {
            Fail(place, say::ProgramIsFolder(program), FailureBox(cmd));
            return;
        }
    }
}

void MediaChecker::CheckFileDestination(const CommandRecord& cmd, const Place& place)
{
    const std::string destination = cmd.param2;
    if (NamesSamePath(cmd.param1, cmd.param2)) {
        Fail(place, say::OwnDestination(destination), FailureBox(cmd));
        return;
    }
    if (EndsWithBackslash(destination))
        Fail(place, say::DestinationNoFile(destination, DestinationFault::TrailingBackslash), FailureBox(cmd));
    else if (HoldsWildcard(destination))
        Fail(place, say::DestinationNoFile(destination, DestinationFault::Wildcard), FailureBox(cmd));
    else if (IsFolderEveryTargetHas(destination, judged_.machine))
        Fail(place, say::DestinationNoFile(destination, DestinationFault::Folder), FailureBox(cmd));
}

// The destination folder fails when there is something to copy; a copy
// into the source (XCOPYA) fails before the source is looked at.
void MediaChecker::CheckTreeDestination(const CommandRecord& cmd, const Place& place)
{
    const std::string destination = cmd.param2;
    if (CommandHas(cmd.flags, TraitCopiesSubfolders) && PathIsInside(cmd.param2, cmd.param1)) {
        Fail(place, say::DestinationNoFolder(destination, DestinationFault::InsideSource), FailureBox(cmd));
        return;
    }
    if (SourceSurelyAbsent(cmd))
        return;
    if (EndsWithBackslash(destination))
        Fail(place, say::DestinationNoFolder(destination, DestinationFault::TrailingBackslash),
             FailureBox(cmd));
    else if (HoldsWildcard(destination))
        Fail(place, say::DestinationNoFolder(destination, DestinationFault::Wildcard), std::string());
    else
        CheckTreePaths(cmd, place);
}

// DELETE, DELALL and EXIST test every folder of their path, which no
// search finds with a backslash at its end. DELETE and DELALL end the run
// without a message where the folder above their path is missing.
void MediaChecker::CheckTestedPath(const CommandRecord& cmd, const Place& place)
{
    const std::string path = cmd.param1;
    if (EndsWithBackslash(path)) {
        Fail(place, say::PathEndsWithBackslash(cmd.flags, path), std::string());
        return;
    }
    const std::string lacking = FolderThatMayLack(cmd, judged_.machine, foldersMade_);
    if (!lacking.empty())
        Warn(place, say::FolderAboveMayLack(lacking));
}

void MediaChecker::NoteFoldersMade(const CommandRecord& cmd)
{
    NoteFoldersMadeBy(cmd, &foldersMade_);
}

// No folder to fear for the folders that every target has, for those
// that earlier commands make, and for paths on a disc.
std::string FolderThatMayLack(const CommandRecord& cmd, const Machine& machine,
                              const std::vector<std::string>& made)
{
    const std::string path = cmd.param1;
    if (!CommandHas(cmd.flags & CommandCodeMask, TraitNeedsFolderAbove) || !IsFullPath(path) ||
        IsOnADisc(path, machine))
        return std::string();
    const std::string above = FolderAbove(path);
    if (above.size() <= DriveLength)
        return std::string();
    std::vector<std::string> present = SystemFolders(machine);
    present.insert(present.end(), made.begin(), made.end());
    for (const std::string& folder : present) {
        if (PathIsInside(folder.c_str(), above.c_str()))
            return std::string();
    }
    return above;
}

void NoteFoldersMadeBy(const CommandRecord& cmd, std::vector<std::string>* made)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    if (CommandHas(code, TraitWritesFile) && IsFullPath(cmd.param2))
        made->push_back(FolderAbove(cmd.param2));
    else if (CommandHas(code, TraitCopiesTree) && IsFullPath(cmd.param2))
        made->push_back(cmd.param2);
}
