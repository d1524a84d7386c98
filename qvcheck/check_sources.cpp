// The checks of the sources that commands take from the discs: that each
// is on the disc whose probe file its drive check looks for, and that an
// EXPAND source is compressed.
#include <windows.h>

#include <vector>

#include "common/owners.h"
#include "qvcheck/media_checker.h"
#include "qvcheck/media_files.h"
#include "qvcheck/wording.h"
#include "setup/core/lz_header.h"
#include "setup/core/messages.h"
#include "setup/core/paths.h"

namespace {

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program file that a command line starts, found as CreateProcessA
// finds it: the shortest prefix up to a blank that names a file, with
// ".exe" added when it has none; empty when there is none.
std::string ProgramFile(const std::string& commandLine)
{
    for (size_t end = 0; end <= commandLine.size(); ++end) {
        if (end != commandLine.size() && commandLine[end] != ' ')
            continue;
        const std::string candidate = commandLine.substr(0, end);
        for (const std::string& file : {candidate, candidate + ".exe"}) {
            if (IsPlainFile(file))
                return file;
        }
    }
    return std::string();
}

// A file named as a program (.EXE) that holds no program: it does not
// begin with the "MZ" of an executable's header.
bool IsNoProgram(const std::string& file)
{
    constexpr char Extension[] = ".EXE";
    constexpr size_t ExtensionLength = sizeof Extension - 1;
    std::string head;
    return file.size() > ExtensionLength &&
           SameName(file.substr(file.size() - ExtensionLength), Extension) &&
           ReadPlainFile(file, 2, &head) && head != "MZ";
}

// True when the file can be read and is no SZDD file; only its header is
// read, however large the file.
bool IsUncompressed(const std::string& path)
{
    std::string header;
    uint32_t length = 0;
    return ReadPlainFile(path, SzddHeaderSize, &header) &&
           !ReadSzddLength(reinterpret_cast<const unsigned char*>(header.data()), header.size(),
                           &length);
}

// The first path that a copy of the folder `onDisc` (where qvcheck reads
// it) builds and can't hold, the source named `source` on the target and
// the destination `destination`; empty when every path fits. Subfolders
// are entered for a copy of the whole tree.
std::string FirstPathTooLong(const std::string& onDisc, const std::string& source,
                             const std::string& destination, bool wholeTree)
{
    char built[MAX_PATH];
    if (!JoinPath(built, sizeof built, source.c_str(), "*.*"))
        return source + "\\*.*";
    WIN32_FIND_DATAA found;
    const FindHandle search(FindFirstFileA((onDisc + "\\*.*").c_str(), &found));
    if (!search.valid())
        return std::string();
    std::vector<std::string> subfolders;
    do {
        const char* name = found.cFileName;
        if (name[0] == '.')
            continue;
        if (!JoinPath(built, sizeof built, source.c_str(), name))
            return source + "\\" + name;
        if (!JoinPath(built, sizeof built, destination.c_str(), name))
            return destination + "\\" + name;
        if (wholeTree && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            subfolders.push_back(name);
    } while (FindNextFileA(search.get(), &found));
    for (const std::string& sub : subfolders) {
        const std::string tooLong =
            FirstPathTooLong(onDisc + "\\" + sub, source + "\\" + sub, destination + "\\" + sub, true);
        if (!tooLong.empty())
            return tooLong;
    }
    return std::string();
}

} // namespace

// (The byte after the drive letter starts a character, so it is a colon
// only when it is one.)
bool IsOnCdrom(const std::string& source, const Machine& machine)
{
    return source.size() >= 2 && (source[0] & ~0x20) == machine.cdromLetter && source[1] == ':';
}

namespace {

// The probe path of the command's [CheckCdrom] value (without its drive)
// as the drive check splits the value at the command's turn; false when it
// can't.
bool ProbePathOf(const CommandRecord& cmd, const Machine& machine, std::string* probe)
{
    DiscProbe split;
    if (!SplitCheckValue(cmd.checkEntry->value, machine.cdromLetter, MacroValuesOf(machine), &split))
        return false;
    *probe = split.path + DiscProbe::DriveLength;
    return true;
}

} // namespace

// The disc folder that holds the probe file of the command's drive check
// (empty when no folder given does); false when the value can't be split.
bool MediaChecker::DiscOf(const CommandRecord& cmd, std::string* disc)
{
    std::string probe;
    if (!ProbePathOf(cmd, judged_.machine, &probe))
        return false;
    const auto cached = discOfProbe_.find(probe);
    if (cached != discOfProbe_.end()) {
        *disc = cached->second;
        return true;
    }
    *disc = DiscHolding(probe, options_.folders);
    discOfProbe_[probe] = *disc;
    return true;
}

bool DiscAnswers(const std::string& inDrive, const std::string& probeDisc, const std::string& probe)
{
    return inDrive == probeDisc || FileExists(inDrive + probe.substr(DiscProbe::DriveLength));
}

std::string MediaChecker::SourceOnDisc(const CommandRecord& cmd)
{
    const std::string source = cmd.param1;
    std::string disc;
    if (!CommandHas(cmd.flags & CommandCodeMask, TraitCopiesFrom) || !(cmd.flags & CheckCdromFlag) ||
        !IsOnCdrom(source, judged_.machine) || !DiscOf(cmd, &disc) || disc.empty())
        return std::string();
    return disc + source.substr(DiscProbe::DriveLength);
}

bool MediaChecker::SourceSurelyAbsent(const CommandRecord& cmd)
{
    const std::string onDisc = SourceOnDisc(cmd);
    return !onDisc.empty() && !FileExists(onDisc);
}

void MediaChecker::CheckSources(const CommandRecord& cmd, const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    const bool program = CommandHas(code, TraitStartsProgram);
    const bool folder = CommandHas(code, TraitCopiesTree);
    const std::string onDisc = SourceOnDisc(cmd);
    if (onDisc.empty())
        return;
    if (folder) {
        if (!FileExists(onDisc))
            Warn(place, say::SourceNotOnDisc(cmd.param1, onDisc, true));
        return;
    }
    const std::string file = program ? ProgramFile(onDisc) : IsPlainFile(onDisc) ? onDisc : std::string();
    if (file.empty())
        Fail(place, say::SourceNotOnDisc(cmd.param1, onDisc, false, FileExists(onDisc)), FailureBox(cmd));
    else if (program && IsNoProgram(file))
        Fail(place, say::NoProgram(file), FailureBox(cmd));
    else if (CommandHas(code, TraitExpandsSource) && IsUncompressed(onDisc))
        Warn(place, say::NotCompressed(cmd.param1));
}

// The tree of an XCOPY or XCOPYA from the disc, walked as the copy walks
// it: every path it would build must fit, or the copy fails there.
void MediaChecker::CheckTreePaths(const CommandRecord& cmd, const Place& place)
{
    const std::string onDisc = SourceOnDisc(cmd);
    if (onDisc.empty())
        return;
    const bool wholeTree = CommandHas(cmd.flags, TraitCopiesSubfolders);
    const std::string tooLong = FirstPathTooLong(onDisc, cmd.param1, cmd.param2, wholeTree);
    if (!tooLong.empty())
        Fail(place, say::TreePathTooLong(tooLong, tooLong.size()), MsgCopyFailed);
}
