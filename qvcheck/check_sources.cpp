// The checks of the sources that commands take from the discs: that each
// is on the disc whose probe file its drive check looks for, and that an
// EXPAND source is compressed.
#include <windows.h>

#include "qvcheck/media_checker.h"
#include "qvcheck/media_files.h"
#include "qvcheck/wording.h"
#include "setup/core/lz_header.h"
#include "setup/core/paths.h"
#include "setup/core/setup_state.h"

namespace {

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program file that a command line starts, found as CreateProcessA
// finds it: the shortest prefix up to a blank that names a file, with
// ".exe" added when it has none.
bool ProgramExists(const std::string& commandLine)
{
    for (size_t end = 0; end <= commandLine.size(); ++end) {
        if (end != commandLine.size() && commandLine[end] != ' ')
            continue;
        const std::string candidate = commandLine.substr(0, end);
        if (FileExists(candidate) || FileExists(candidate + ".exe"))
            return true;
    }
    return false;
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

} // namespace

// (The byte after the drive letter starts a character, so it is a colon
// only when it is one.)
bool IsOnCdrom(const std::string& source)
{
    return source.size() >= 2 && (source[0] & ~0x20) == g_setup.cdromLetter && source[1] == ':';
}

bool ProbePathOf(const CommandRecord& cmd, std::string* probe)
{
    DiscProbe split;
    if (!SplitCheckValue(cmd.checkEntry->value, g_setup.cdromLetter, MacroValuesOf(g_setup), &split))
        return false;
    *probe = split.path + DiscProbe::DriveLength;
    return true;
}

// The disc folder that holds the probe file of the command's drive check
// (empty when no folder given does); false when the value can't be split.
bool MediaChecker::DiscOf(const CommandRecord& cmd, std::string* disc)
{
    std::string probe;
    if (!ProbePathOf(cmd, &probe))
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

void MediaChecker::CheckSources(const CommandRecord& cmd, const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    const bool program = CommandHas(code, TraitStartsProgram);
    const bool folder = CommandHas(code, TraitCopiesTree);
    if (!CommandHas(code, TraitCopiesFrom) || !(cmd.flags & CheckCdromFlag))
        return;
    const std::string source = cmd.param1;
    std::string disc;
    if (!IsOnCdrom(source) || !DiscOf(cmd, &disc))
        return;
    if (disc.empty()) {
        if (probesOnNoDisc_.insert(std::string(cmd.infPath) + "|" + cmd.checkKey).second)
            Warn(place, say::ProbeOnNoDisc(cmd.checkKey));
        return;
    }
    const std::string onDisc = disc + source.substr(2);
    if (!(program ? ProgramExists(onDisc) : FileExists(onDisc)))
        Warn(place, say::SourceNotOnDisc(source, onDisc, folder));
    else if (code == CmdExpand && IsUncompressed(onDisc))
        Warn(place, say::NotCompressed(source));
}
