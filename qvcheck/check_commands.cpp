// The checks of the applications and their commands: [Strings], each
// command section and each of its lines, as qvsetup loads them and as they
// fare at their turn.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "qvcheck/media_checker.h"
#include "qvcheck/wording.h"
#include "setup/core/answer_file.h"
#include "setup/core/attribute_changes.h"
#include "setup/core/command_text.h"
#include "setup/core/dbcs.h"
#include "setup/core/inf_parser.h"
#include "setup/core/memory.h"

namespace {

constexpr size_t LongestMeasuredLine = 65536;  // lines longer are not measured field by field
constexpr unsigned char BackslashByte = 0x5C;

const std::vector<std::string> ApplicationSections = {"Version", "Strings", "Install", "CheckCdrom"};

} // namespace

std::vector<size_t> FieldLengths(const std::string& line, const MacroValues& macros, TokenizeStop* stop)
{
    if (line.size() > LongestMeasuredLine)
        return {};
    const size_t room = WidestExpansion * (line.size() + 1) + PathCapacity;
    std::vector<std::vector<char>> buffers(CommandFields, std::vector<char>(room));
    char* fields[CommandFields];
    size_t capacities[CommandFields];
    for (int i = 0; i < CommandFields; ++i) {
        fields[i] = buffers[i].data();
        capacities[i] = room;
    }
    uint32_t macroUse = 0;
    if (!TokenizeLine(fields, capacities, CommandFields, &macroUse, line.c_str(), macros, stop))
        return {};
    std::vector<size_t> lengths;
    for (int i = 0; i < CommandFields; ++i)
        lengths.push_back(strlen(fields[i]));
    return lengths;
}

namespace {

// The first field longer than its limit, as a sentence; empty when all fit.
std::string OverlongField(const std::string& line, const MacroValues& macros)
{
    const size_t limits[CommandFields] = {KeywordCapacity - 1, PathCapacity - 1, PathCapacity - 1,
                                          CheckKeyCapacity - 1};
    const std::vector<size_t> lengths = FieldLengths(line, macros);
    for (size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] > limits[i])
            return say::OverlongField(static_cast<int>(i), lengths[i], limits[i]);
    }
    return std::string();
}

// The macro names of the table written back to back in `line`, such as
// %CDROM%%FD%: the percent signs between them read as one literal "%".
std::string BackToBackMacros(const std::string& line)
{
    size_t count = 0;
    const Macro* macros = MacroTable(&count);
    for (const Macro* first = macros; first != macros + count; ++first) {
        const std::string opening = std::string("%") + first->name + "%%";
        for (size_t at = 0; at < line.size(); ++at) {
            if (!SameName(line.substr(at, opening.size()), opening))
                continue;
            for (const Macro* second = macros; second != macros + count; ++second) {
                const std::string next = std::string(second->name) + "%";
                if (SameName(line.substr(at + opening.size(), next.size()), next))
                    return opening + next;
            }
        }
    }
    return std::string();
}

// The first double-byte character of `text` whose second byte is the
// backslash byte and which is followed by `next`; its position, or npos.
size_t BackslashByteBefore(const std::string& text, const std::string& next)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (!IsLeadByte932(static_cast<unsigned char>(text[i])))
            continue;
        if (static_cast<unsigned char>(text[i + 1]) == BackslashByte &&
            text.compare(i + 2, next.size(), next) == 0)
            return i;
        ++i;
    }
    return std::string::npos;
}

// How many bytes longer a folder macro's expansion is on `system` than on
// the described one, at most.
size_t Growth(const DescribedSystem& system, const Machine& described)
{
    const size_t longer[] = {system.windowsDir.size(), system.systemDir.size(),
                             system.programFilesDir.size()};
    const size_t lengths[] = {strlen(described.windowsDir), strlen(described.systemDir),
                              strlen(described.programFilesDir)};
    size_t growth = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (longer[i] > lengths[i] && longer[i] - lengths[i] > growth)
            growth = longer[i] - lengths[i];
    }
    return growth;
}

} // namespace

void MediaChecker::CheckApplication(const std::string& path, int priorityLine)
{
    const ProfileFile& file = LoadProfile(path);
    const bool isMaster = SameName(path, judged_.media.masterInfPath);
    switch (ReasonToSkip(path.c_str(), judged_.machine)) {
    case SkipReason::NoSignature:
        if (!isMaster)
            Warn(Place{path, 0}, say::NoSignature(priorityLine));
        return;
    case SkipReason::NeedsAdministrator: {
        const ProfileLine* admini = file.FindKey("Version", "admini");
        Warn(Place{path, admini ? admini->number : 0}, say::NeedsAdministrator());
        return;
    }
    case SkipReason::None:
        break;
    }
    if (!isMaster) {
        CheckFileBasics(path, file, ApplicationSections);
        CheckVersion(path, file);
        CheckKeys(path, file, "CheckCdrom", {});
    }
    const bool titled = CheckStrings(path, file);
    if (titled)
        CheckModel(path, file);
    AppRecord app = {};
    if (path.size() >= sizeof app.infPath) {
        Fail(Place{path, 0}, say::AppPathTooLong(),
             say::RuntimeMessage(LoadProblem::InfUnreadable, DiscPath(view_, path)));
        return;
    }
    strcpy(app.infPath, path.c_str());
    if (!CheckCommandSection(app, "Install", file) && titled)
        Fail(Place{path, file.Find("Install") ? file.Find("Install")->number : 0}, say::NoCommands(),
             std::string());
}

// TITLE and DESCRIPTION; false when there is no TITLE (an error).
bool MediaChecker::CheckStrings(const std::string& path, const ProfileFile& file)
{
    CheckKeys(path, file, "Strings", {});
    const ProfileLine* titleLine = file.FindKey("Strings", "TITLE");
    const ProfileSection* strings = file.Find("Strings");
    const std::string title = ProfileValue(path, "Strings", "TITLE");
    if (title.empty()) {
        const int number = titleLine ? titleLine->number : strings ? strings->number : 0;
        Fail(Place{path, number}, say::NoTitle(),
             say::RuntimeMessage(LoadProblem::NoTitle, DiscPath(view_, path)));
        return false;
    }
    if (title.size() >= TitleCapacity)
        Warn(Place{path, titleLine ? titleLine->number : 0},
             say::TitleCut(title.size(), TitleCapacity - 1));
    const ProfileLine* descriptionLine = file.FindKey("Strings", "DESCRIPTION");
    const std::string description = ProfileValue(path, "Strings", "DESCRIPTION");
    if (descriptionLine) {
        const Place place{path, descriptionLine->number};
        if (description.size() >= DescriptionCapacity)
            Warn(place, say::DescriptionCut(description.size(), DescriptionCapacity - 1));
        CheckEscapes(description, place);
    }
    return true;
}

// Checks every line of a command section; answers whether it has commands.
bool MediaChecker::CheckCommandSection(AppRecord& app, const char* section, const ProfileFile& file)
{
    char* lines = nullptr;
    LoadProblem problem = LoadProblem::None;
    if (!ReadSectionLines(app.infPath, section, &lines, &problem)) {
        Fail(Place{app.infPath, 0}, say::AppUnreadable(problem),
             say::RuntimeMessage(problem, DiscPath(view_, app.infPath)));
        return true;
    }
    course_ = SameName(section, "CancelInstall") ? "cancel" : "install";
    int index = 0;
    bool commands = false;
    int attentionLine = 0;   // the line of the first ATTENTION: the run ends there
    for (const char* line = lines; *line; line += strlen(line) + 1, ++index) {
        if (line[0] == ';')
            continue;
        commands = true;
        const ProfileLine* raw = file.SectionLine(section, static_cast<size_t>(index));
        const Place place{app.infPath, raw ? raw->number : 0};
        if (attentionLine)
            Warn(place, say::NeverRuns(attentionLine));
        CommandRecord cmd = {};
        CheckCommandLine(app, line, place, &cmd);
        if (CommandHas(cmd.flags, TraitEndsRunWhenDone) && !attentionLine)
            attentionLine = place.line;
    }
    FreeZeroed(lines);
    FreeAppRecordLists(&app);
    return commands;
}

// Checks one line; `*cmd` holds the command when the line is valid.
void MediaChecker::CheckCommandLine(AppRecord& app, const std::string& line, const Place& place,
                                    CommandRecord* cmd)
{
    cmd->infPath = app.infPath;
    LineFault fault = LineFault::None;
    int32_t field = 0;
    if (!ParseCommand(MacroValuesOf(judged_.machine), &app, cmd, line.c_str(), &fault, &field)) {
        const bool fdOnly = (cmd->flags & CheckFdFlag) && !(cmd->flags & CheckCdromFlag);
        const std::string overlong =
            fault == LineFault::FieldTooLong ? OverlongField(line, MacroValuesOf(judged_.machine)) : "";
        Fail(place, say::BadLine(line, cmd->checkKey, fdOnly, fault, field, overlong),
             say::RuntimeMessage(LoadProblem::BadCommand, DiscPath(view_, app.infPath)));
        cmd->flags = 0;
        return;
    }
    const std::string twins = BackToBackMacros(line);
    if (!twins.empty())
        Warn(At(place, line, line.find(twins)), say::BackToBackMacros(twins));
    CheckBackslashBytes(line, *cmd, place);
    CheckOtherSystems(line, *cmd, place);
    CheckForeignPaths(*cmd, place);
    CheckDriveCheck(*cmd, place);
    CheckSources(*cmd, place);
    CheckNumbers(*cmd, place);
    CheckTurn(line, *cmd, place);
}

// The byte-by-byte reading of a line meets double-byte characters whose
// second byte is the backslash byte: before a quote, and, in the texts
// whose escapes are rewritten, before \n or \t.
void MediaChecker::CheckBackslashBytes(const std::string& line, const CommandRecord& cmd,
                                       const Place& place)
{
    const size_t quote = BackslashByteBefore(line, "\"");
    if (quote != std::string::npos)
        Warn(At(place, line, quote), say::QuoteAfterBackslashByte(line.substr(quote, 2)));
    if (CommandHas(cmd.flags, TraitEscapedText))
        CheckEscapes(cmd.param1, place);
}

void MediaChecker::CheckEscapes(const std::string& text, const Place& place)
{
    for (const char escape : {'n', 't'}) {
        const size_t at = BackslashByteBefore(text, std::string("\\") + escape);
        if (at != std::string::npos) {
            Warn(place, say::EscapeAfterBackslashByte(text.substr(at, 2), escape));
            return;
        }
    }
}

// A line that fits on the described system but not on one of the default
// systems: qvsetup would refuse it there.
void MediaChecker::CheckOtherSystems(const std::string& line, const CommandRecord& cmd,
                                     const Place& place)
{
    // Each macro can grow a field by the longest difference of the folders;
    // a line that stays within the limit that way needs no second look.
    const size_t macros = static_cast<size_t>(std::count(line.begin(), line.end(), '%')) / 2;
    const size_t longest = std::max({strlen(cmd.param1), strlen(cmd.param2), strlen(cmd.checkKey)});
    const size_t growth = std::max(Growth(Windows2000System(), judged_.machine),
                                   Growth(Windows98System(), judged_.machine));
    if (longest + macros * growth < PathCapacity)
        return;
    for (const DescribedSystem* system : {&Windows2000System(), &Windows98System()}) {
        Machine other = {};
        ApplySystem(*system, other);
        const std::string overlong = OverlongField(line, MacroValuesOf(other));
        if (!overlong.empty()) {
            Warn(place, say::OverlongOnOtherSystem(system->name, system->windowsDir,
                                                   system->systemDir, overlong));
            return;
        }
    }
}

void MediaChecker::CheckDriveCheck(const CommandRecord& cmd, const Place& place)
{
    if (!cmd.checkEntry)
        return;
    DiscProbe split;
    TokenizeStop stop = {};
    if (!SplitCheckValue(cmd.checkEntry->value, judged_.machine.cdromLetter, MacroValuesOf(judged_.machine), &split,
                         &stop)) {
        Fail(place, say::CheckValueUnsplit(cmd.checkKey, stop.fault == LineFault::TooManyFields),
             std::string());
        return;
    }
    CheckKeyProbe(cmd, split.path, place);
    std::string disc;
    if (DiscOf(cmd, &disc) && disc.empty() &&
        probesOnNoDisc_.insert(std::string(cmd.infPath) + "|" + cmd.checkKey).second)
        Warn(place, say::ProbeOnNoDisc(cmd.checkKey));
    const size_t quote = BackslashByteBefore(cmd.checkEntry->value, "\"");
    if (quote != std::string::npos)
        Warn(place, say::QuoteAfterBackslashByte(std::string(cmd.checkEntry->value + quote, 2)));
    CheckEscapes(split.prompt, place);
}

// Paths as the described system expands them that name what its Windows
// lacks or keeps elsewhere: a program, a source or a destination.
void MediaChecker::CheckForeignPaths(const CommandRecord& cmd, const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    std::vector<std::pair<std::string, bool>> paths;   // a field, and whether it is a command line
    if (CommandHas(code, TraitNeedsFirst) || CommandHas(code, TraitCopiesFrom))
        paths.emplace_back(cmd.param1, CommandHas(code, TraitStartsProgram));
    if (CommandHas(code, TraitWritesFile) || CommandHas(code, TraitCopiesTree))
        paths.emplace_back(cmd.param2, false);
    const DescribedSystem& system = options_.system;
    for (const auto& [path, program] : paths) {
        std::string named;
        const ForeignPath fault = FindForeignPath(path, system.windowsDir, system.ntFamily, program, &named);
        if (fault != ForeignPath::None) {
            Warn(place, say::NotOnThisWindows(fault, named, system.name, system.windowsDir, system.systemDir));
            return;
        }
    }
}

// qvsetup remembers the last key of each kind of drive check that found its
// disc, and runs a command of the same key without a check: one key for
// probe files on two different discs may leave the second disc unasked
// for. (Fine where the first key's disc holds the second probe file too;
// one on none of the discs given is a finding of its own.) Install and
// Cancel never meet in a run.
void MediaChecker::CheckKeyProbe(const CommandRecord& cmd, const std::string& probe, const Place& place)
{
    std::string disc;
    if (!DiscOf(cmd, &disc) || disc.empty())
        return;
    const bool cdrom = (cmd.flags & CheckCdromFlag) != 0;
    const std::string key = course_ + (cdrom ? " CDROM " : " FD ") + cmd.checkKey;
    const KeyUse& first = keyUses_.emplace(key, KeyUse{probe, disc, InfFileName(cmd.infPath), place.line})
                              .first->second;
    if (DiscAnswers(first.disc, disc, probe) || !keyReported_.insert(key + " " + cmd.infPath).second)
        return;
    Fail(place, say::CheckKeyReused(cmd.checkKey, probe.substr(DiscProbe::DriveLength),
                                    first.probe.substr(DiscProbe::DriveLength), first.file, first.line),
         std::string());
}

// Number fields that qvsetup reads as 0 (or ignores) when they are no number.
void MediaChecker::CheckNumbers(const CommandRecord& cmd, const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    const char* number = nullptr;
    if (CommandHas(code, TraitNumberFirst))
        number = cmd.param1;
    else if (CommandHas(code, TraitNumberSecond) && cmd.param2[0] != '\0')
        number = cmd.param2;
    int32_t value = 0;
    if (number && !ReadDecimal(number, &value))
        Warn(place, say::NotANumberField(number, code));
    uint32_t attributes = 0;
    const AttributeChange change = CommandHas(code, TraitChangesAttributes)
                                       ? ApplyAttributeChanges(cmd.param2, &attributes)
                                       : AttributeChange::Applied;
    if (change != AttributeChange::Applied) {
        const bool silent = change == AttributeChange::RefusedSilently;
        Fail(place, say::SetattRefused(cmd.param2, silent), silent ? std::string() : FailureBox(cmd));
    }
}
