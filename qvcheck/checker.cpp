// The checks of installation media, made with the engine's own loading code.
#include "qvcheck/checker.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "qvcheck/profile_lines.h"
#include "setup/commands/attribute_changes.h"
#include "setup/commands/command_text.h"
#include "setup/commands/lz_header.h"
#include "setup/core/app_collection.h"
#include "setup/core/inf_parser.h"
#include "setup/core/memory.h"
#include "setup/core/paths.h"
#include "setup/core/setup_config.h"
#include "setup/core/setup_state.h"
#include "setup/core/startup.h"
#include "setup/ui/bmp_header.h"

namespace {

constexpr size_t ValueProbeCapacity = 65536;   // reads a whole profile value
constexpr size_t LongestMeasuredLine = 65536;  // lines longer are not measured field by field
constexpr size_t WidestExpansion = 33;         // bytes a macro's expansion may add per byte of the line

const char* const FieldNames[CommandFields] = {"the command keyword", "the first parameter",
                                               "the second parameter", "the drive-check key"};
const size_t FieldLimits[CommandFields] = {KeywordCapacity - 1, PathCapacity - 1, PathCapacity - 1,
                                           CheckKeyCapacity - 1};


// A line of a section, where a finding about it is reported.
struct Place {
    std::string path;
    int line;
};

MacroValues MacroValuesOf(const DescribedSystem& system)
{
    return MacroValues{system.windowsDir.c_str(), system.systemDir.c_str(),
                       system.programFilesDir.c_str(), system.cdromLetter,
                       system.windowsDir[0],        system.bootLetter,
                       system.fdLetter};
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// A profile value as GetPrivateProfileStringA reads it, whole.
std::string ProfileValue(const std::string& path, const char* section, const char* key)
{
    std::vector<char> value(ValueProbeCapacity);
    GetPrivateProfileStringA(section, key, "", value.data(), static_cast<DWORD>(value.size()),
                             path.c_str());
    return value.data();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The runtime's message for a problem of the file at `path`.
std::string RuntimeMessage(LoadProblem problem, const std::string& path)
{
    LoadError error = {};
    error.problem = problem;
    snprintf(error.path, sizeof error.path, "%s", path.c_str());
    char text[LoadDetailCapacity];
    FormatLoadMessage(error, text, sizeof text);
    return text;
}

// The lengths of a line's fields with big enough room for any expansion;
// empty when the line is too long to measure or has too many fields.
std::vector<size_t> FieldLengths(const std::string& line, const MacroValues& macros)
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
    if (!TokenizeLine(fields, capacities, CommandFields, &macroUse, line.c_str(), macros))
        return {};
    std::vector<size_t> lengths;
    for (int i = 0; i < CommandFields; ++i)
        lengths.push_back(strlen(fields[i]));
    return lengths;
}

// The first field longer than its limit, as a sentence; empty when all fit.
std::string OverlongField(const std::string& line, const MacroValues& macros)
{
    const std::vector<size_t> lengths = FieldLengths(line, macros);
    for (size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] > FieldLimits[i])
            return std::string(FieldNames[i]) + " is " + std::to_string(lengths[i]) +
                   " bytes after macro expansion; the limit is " + std::to_string(FieldLimits[i]);
    }
    return std::string();
}

std::string KeywordList()
{
    size_t count = 0;
    const Keyword* table = KeywordTable(&count);
    std::string list;
    for (size_t i = 0; i < count; ++i)
        list += (i ? ", " : "") + std::string(table[i].name);
    return list;
}

std::string UnknownKeyword(const std::string& line)
{
    const std::string keyword = line.substr(0, line.find(','));
    size_t count = 0;
    const Keyword* table = KeywordTable(&count);
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i)
        names.push_back(table[i].name);
    const std::string nearest = NearestWord(keyword, names);
    if (!nearest.empty())
        return "unknown command " + Quoted(keyword) + "; did you mean " + nearest + "?";
    return "unknown command " + Quoted(keyword) + "; the commands are " + KeywordList();
}

// Why ParseCommand refused a line, in words an author understands.
std::string DescribeFault(const std::string& line, const CommandRecord& cmd, LineFault fault,
                          int32_t field)
{
    const char* macro = (cmd.flags & CheckFdFlag) && !(cmd.flags & CheckCdromFlag) ? "%FD%"
                                                                                    : "%CDROM%";
    switch (fault) {
    case LineFault::FieldTooLong: {
        const std::string overlong = OverlongField(line, MacroValuesOf(g_setup));
        if (!overlong.empty())
            return overlong;
        return std::string(FieldNames[field < CommandFields ? field : 0]) + " is too long";
    }
    case LineFault::TooManyFields:
        return "more than four fields: a command line is COMMAND,PARAMETER1,PARAMETER2,CHECKKEY "
               "(put a text with commas in double quotes)";
    case LineFault::MacroNameTooLong:
        return "a %name% longer than 259 bytes: a percent sign opens a macro name that runs on "
               "(write %% for a percent sign)";
    case LineFault::UnknownKeyword:
        return UnknownKeyword(line);
    case LineFault::NoCheckKey:
        return std::string("uses ") + macro + " but names no [CheckCdrom] key in its fourth field";
    case LineFault::NoCheckValue:
        return std::string("the [CheckCdrom] key ") + Quoted(cmd.checkKey) +
               " of this line is missing or empty in this file";
    case LineFault::OutOfMemory:
        return "no memory to read the line";
    case LineFault::None:
        break;
    }
    return "invalid command line";
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

const std::vector<std::string> MasterSections = {"Version", "QvSetupConfig", "Priority",
                                                 "ExcludeForegroundWindow", "DefaultInstall",
                                                 "CancelInstall", "CheckCdrom", "Strings", "Install"};
const std::vector<std::string> ApplicationSections = {"Version", "Strings", "Install", "CheckCdrom"};
const std::vector<std::string> VersionKeys = {"signature", "admini", "Default"};

// "; did you mean X?" for the nearest of `known`, or ": qvsetup ignores it".
std::string Hint(const std::string& name, const std::vector<std::string>& known,
                 const std::string& prefix = std::string(), const std::string& suffix = std::string())
{
    const std::string nearest = NearestWord(name, known);
    return nearest.empty() ? ": qvsetup ignores it"
                           : "; did you mean " + prefix + nearest + suffix + "?";
}

bool IsYesOrNo(const std::string& value)
{
    return SameName(value, "YES") || SameName(value, "NO");
}

class MediaChecker {
public:
    MediaChecker(const CheckOptions& options, Report& report) : options_(options), report_(report)
    {
    }
    void Run();

private:
    class ApplicationVisitor;

    void Warn(const Place& place, const std::string& text)
    {
        report_.Add(place.path, place.line, Severity::Warning, text);
    }
    void Fail(const Place& place, const std::string& text, const std::string& quote)
    {
        report_.Add(place.path, place.line, Severity::Error, text, quote);
    }

    const ProfileFile& LoadProfile(const std::string& path, bool* read = nullptr);
    void CheckFileBasics(const std::string& path, const ProfileFile& file,
                         const std::vector<std::string>& known);
    std::vector<const ProfileLine*> CheckKeys(const std::string& path, const ProfileFile& file,
                                              const char* section,
                                              const std::vector<std::string>& known);
    void CheckVersion(const std::string& path, const ProfileFile& file);
    void CheckConfig(const ProfileFile& master);
    void CheckConfigValue(const ConfigKey& key, const ProfileLine& line);
    void CheckPicture(const ProfileFile& master);
    void CheckPriority(const ProfileFile& master);
    void CheckApplication(const std::string& path, int priorityLine);
    bool CheckStrings(const std::string& path, const ProfileFile& file);
    bool CheckCommandSection(AppRecord& app, const char* section, const ProfileFile& file);
    void CheckCommandLine(AppRecord& app, const std::string& line, const Place& place);
    void CheckOtherSystems(const std::string& line, const CommandRecord& cmd, const Place& place);
    void CheckDriveCheck(const CommandRecord& cmd, const Place& place);
    void CheckSources(const CommandRecord& cmd, const Place& place);
    void CheckNumbers(const CommandRecord& cmd, const Place& place);
    bool DiscOf(const CommandRecord& cmd, std::string* disc);

    const CheckOptions& options_;
    Report& report_;
    std::map<std::string, ProfileFile> files_;          // by the engine's path
    std::map<std::string, std::string> discOfProbe_;    // probe path: its disc ("": none)
    std::set<std::string> probesOnNoDisc_;              // reported once each
};

const ProfileFile& MediaChecker::LoadProfile(const std::string& path, bool* read)
{
    const auto loaded = files_.find(path);
    if (loaded != files_.end())
        return loaded->second;
    std::string bytes;
    const bool whole = ReadWholeFile(path, &bytes);
    if (read)
        *read = whole;
    return files_.emplace(path, ProfileFile(bytes)).first->second;
}

// A byte order mark, unknown sections and repeated ones: what the profile
// reader takes otherwise than an author may mean.
void MediaChecker::CheckFileBasics(const std::string& path, const ProfileFile& file,
                                   const std::vector<std::string>& known)
{
    if (file.hasByteOrderMark())
        Warn(Place{path, 0}, "the file begins with a Unicode byte order mark: qvsetup reads INF "
                             "files as CP932 (Shift-JIS); save it without one");
    for (const ProfileSection& section : file.sections()) {
        if (section.number == 0)
            continue;
        const Place place{path, section.number};
        const ProfileSection* first = file.Find(section.name);
        if (first != &section) {
            Warn(place, "a second [" + section.name + "] section: qvsetup reads only the first, at line " +
                            std::to_string(first->number));
            continue;
        }
        bool isKnown = false;
        for (const std::string& name : known)
            isKnown = isKnown || SameName(name, section.name);
        if (!isKnown)
            Warn(place, "unknown section [" + section.name + "]" + Hint(section.name, known, "[", "]"));
    }
}

// The lines of a key=value section: unknown keys (when `known` lists the
// keys) and keys set again are reported; answers the lines that count.
std::vector<const ProfileLine*> MediaChecker::CheckKeys(const std::string& path,
                                                        const ProfileFile& file, const char* section,
                                                        const std::vector<std::string>& known)
{
    std::vector<const ProfileLine*> counted;
    const ProfileSection* found = file.Find(section);
    if (!found)
        return counted;
    for (const ProfileLine& line : found->lines) {
        if (line.isComment)
            continue;
        const Place place{path, line.number};
        const ProfileLine* first = file.FindKey(section, line.name);
        if (first != &line) {
            Warn(place, line.name + " is set again: qvsetup reads the first, at line " +
                            std::to_string(first->number));
            continue;
        }
        bool isKnown = known.empty();
        for (const std::string& name : known)
            isKnown = isKnown || SameName(name, line.name);
        if (!isKnown) {
            Warn(place, "unknown key " + Quoted(line.name) + " in [" + section + "]" +
                            Hint(line.name, known));
            continue;
        }
        counted.push_back(&line);
    }
    return counted;
}

void MediaChecker::CheckVersion(const std::string& path, const ProfileFile& file)
{
    for (const ProfileLine* line : CheckKeys(path, file, "Version", VersionKeys)) {
        if (!SameName(line->name, "signature") && !IsYesOrNo(line->value))
            Warn(Place{path, line->number},
                 line->name + "=" + line->value + " is neither YES nor NO: it means NO");
    }
}


void MediaChecker::CheckConfigValue(const ConfigKey& key, const ProfileLine& line)
{
    const Place place{g_setup.masterInfPath, line.number};
    const std::string value = ProfileValue(g_setup.masterInfPath, ConfigSection, key.name);
    const std::string shown = std::string(key.name) + "=" + value;
    switch (key.kind) {
    case ConfigValueKind::YesNo:
        if (!IsYesOrNo(value))
            Warn(place, shown + " is neither YES nor NO: it means " +
                            (SameName(key.fallback, "YES") ? "YES (only NO turns it off)"
                                                           : "NO (only YES turns it on)"));
        break;
    case ConfigValueKind::Style: {
        ListStyle style = StyleSingleList;
        if (!StyleOf(value.c_str(), &style))
            Warn(place, shown + " is not MULTI, SINGLE or SINGLELIST: it means SINGLELIST");
        break;
    }
    case ConfigValueKind::Number: {
        int32_t number = 0;
        const bool decimal = ReadDecimal(value.c_str(), &number) &&
                             value.find_first_not_of("-+0123456789") == std::string::npos;
        if (!decimal)
            Warn(place, shown + " is not a decimal number: the tick is " +
                            std::to_string(g_setup.config.tickInterval) + " ms");
        else if (number < 0)
            Warn(place, shown + " is negative: the tick is the shortest the system allows (10 ms)");
        break;
    }
    case ConfigValueKind::Path: {
        std::vector<char> expanded(value.size() * WidestExpansion + PathCapacity);
        char* const fields[] = {expanded.data()};
        const size_t capacities[] = {expanded.size()};
        uint32_t macroUse = 0;
        if (value.size() + 1 >= key.capacity)
            Warn(place, std::string(key.name) + " is " + std::to_string(value.size()) +
                            " bytes; qvsetup writes no log for " + std::to_string(key.capacity - 1) +
                            " bytes or more");
        else if (!TokenizeLine(fields, capacities, 1, &macroUse, value.c_str(), MacroValuesOf(g_setup)))
            Warn(place, shown + " holds a comma outside quotes: qvsetup writes no log");
        else if (strlen(expanded.data()) >= PathCapacity)
            Warn(place, shown + " expands to " + std::to_string(strlen(expanded.data())) +
                            " bytes; the limit is 259: qvsetup writes no log");
        break;
    }
    case ConfigValueKind::Text:
        if (value.size() >= key.capacity)
            Warn(place, std::string(key.name) + " is " + std::to_string(value.size()) +
                            " bytes; qvsetup keeps the first " + std::to_string(key.capacity - 1));
        break;
    }
}

void MediaChecker::CheckConfig(const ProfileFile& master)
{
    size_t count = 0;
    const ConfigKey* keys = ConfigKeys(&count);
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i)
        names.push_back(keys[i].name);
    for (const ProfileLine* line : CheckKeys(g_setup.masterInfPath, master, ConfigSection, names))
        CheckConfigValue(*FindConfigKey(line->name.c_str()), *line);
}

// A path without a drive is taken from the folder qvsetup starts in: from
// the disc's autorun, the media folder.
std::string OnMedia(const std::string& path, const std::string& folder)
{
    const bool absolute = (path.size() > 1 && path[1] == ':') || path.compare(0, 1, "\\") == 0;
    return absolute ? path : folder + "\\" + path;
}

void MediaChecker::CheckPicture(const ProfileFile& master)
{
    const SetupConfig& config = g_setup.config;
    if (!config.showBackground || config.bitmapPath[0] == '\0')
        return;
    const ProfileLine* line = master.FindKey(ConfigSection, "BITMAP");
    const Place place{g_setup.masterInfPath, line ? line->number : 0};
    std::string bytes;
    if (!ReadWholeFile(OnMedia(config.bitmapPath, g_setup.sourceDir), &bytes)) {
        Warn(place, "the picture " + Quoted(config.bitmapPath) +
                        " can't be read: the background shows no picture");
        return;
    }
    BmpLayout layout;
    if (!CheckBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &layout))
        Warn(place, "the picture " + Quoted(config.bitmapPath) +
                        " is not an uncompressed BMP of 1, 4 or 8 bits per pixel, or is damaged: "
                        "the background shows no picture");
}

// Tells the checker of every application INF that [Priority] finds.
class MediaChecker::ApplicationVisitor : public PriorityVisitor {
public:
    ApplicationVisitor(MediaChecker& checker, const ProfileFile& master)
        : checker_(checker), master_(master)
    {
    }
    bool Visit(const char* path, int lineIndex) override
    {
        checker_.CheckApplication(path, LineOf(lineIndex));
        return true;
    }
    void FoundNothing(const char* line, int lineIndex) override
    {
        const int number = LineOf(lineIndex);
        checker_.Warn(Place{g_setup.masterInfPath, number},
                      number ? "the [Priority] line " + Quoted(line) + " finds no file"
                             : std::string("no file matches the default pattern ") + DefaultPattern);
    }

private:
    // The line of the master INF's [Priority], or 0 for the default pattern.
    int LineOf(int lineIndex) const
    {
        const ProfileLine* line = master_.SectionLine("Priority", static_cast<size_t>(lineIndex));
        return line ? line->number : 0;
    }

    MediaChecker& checker_;
    const ProfileFile& master_;
};

void MediaChecker::CheckPriority(const ProfileFile& master)
{
    std::vector<char> patterns(MasterSectionCapacity);
    ReadMasterSection("Priority", patterns.data(), DefaultPattern);
    ApplicationVisitor visitor(*this, master);
    WalkPriorityFiles(patterns.data(), visitor);
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
        Fail(Place{path, number}, "no TITLE in [Strings]: the application has no name to show",
             RuntimeMessage(LoadProblem::NoTitle, path));
        return false;
    }
    if (title.size() >= TitleCapacity)
        Warn(Place{path, titleLine ? titleLine->number : 0},
             "TITLE is " + std::to_string(title.size()) + " bytes; the list shows the first " +
                 std::to_string(TitleCapacity - 1));
    const ProfileLine* descriptionLine = file.FindKey("Strings", "DESCRIPTION");
    const std::string description = ProfileValue(path, "Strings", "DESCRIPTION");
    if (descriptionLine && description.size() >= DescriptionCapacity)
        Warn(Place{path, descriptionLine->number},
             "DESCRIPTION is " + std::to_string(description.size()) +
                 " bytes; the dialog shows the first " + std::to_string(DescriptionCapacity - 1));
    return true;
}

void MediaChecker::CheckApplication(const std::string& path, int priorityLine)
{
    const ProfileFile& file = LoadProfile(path);
    const bool isMaster = SameName(path, g_setup.masterInfPath);
    switch (ReasonToSkip(path.c_str())) {
    case SkipReason::NoSignature:
        if (!isMaster)
            Warn(Place{path, 0}, "not offered: [Version] has no signature=$QVSETUP$" +
                                     (priorityLine ? " (found by [Priority] at line " +
                                                         std::to_string(priorityLine) +
                                                         " of the master INF)"
                                                   : std::string()));
        return;
    case SkipReason::NeedsAdministrator: {
        const ProfileLine* admini = file.FindKey("Version", "admini");
        Warn(Place{path, admini ? admini->number : 0},
             "not offered to this user: admini=YES and the user is no administrator");
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
    AppRecord app = {};
    if (path.size() >= sizeof app.infPath) {
        Fail(Place{path, 0}, "the path is longer than 259 bytes",
             RuntimeMessage(LoadProblem::InfUnreadable, path));
        return;
    }
    strcpy(app.infPath, path.c_str());
    if (!CheckCommandSection(app, "Install", file) && titled)
        Warn(Place{path, file.Find("Install") ? file.Find("Install")->number : 0},
             "no commands in [Install]: when this application's turn comes, the run ends");
}

// Checks every line of a command section; answers whether it has commands.
bool MediaChecker::CheckCommandSection(AppRecord& app, const char* section, const ProfileFile& file)
{
    char* lines = nullptr;
    LoadProblem problem = LoadProblem::None;
    if (!ReadSectionLines(app.infPath, section, &lines, &problem)) {
        Fail(Place{app.infPath, 0},
             problem == LoadProblem::OutOfMemory
                 ? "no memory to read the file"
                 : "the file can't be read (missing, opened by another program, or too large)",
             RuntimeMessage(problem, app.infPath));
        return true;
    }
    int index = 0;
    bool commands = false;
    for (const char* line = lines; *line; line += strlen(line) + 1, ++index) {
        if (line[0] == ';')
            continue;
        commands = true;
        const ProfileLine* raw = file.SectionLine(section, static_cast<size_t>(index));
        CheckCommandLine(app, line, Place{app.infPath, raw ? raw->number : 0});
    }
    FreeZeroed(lines);
    FreeAppRecordLists(&app);
    return commands;
}

void MediaChecker::CheckCommandLine(AppRecord& app, const std::string& line, const Place& place)
{
    CommandRecord cmd = {};
    cmd.infPath = app.infPath;
    LineFault fault = LineFault::None;
    int32_t field = 0;
    if (!ParseCommand(&app, &cmd, line.c_str(), &fault, &field)) {
        Fail(place, DescribeFault(line, cmd, fault, field),
             RuntimeMessage(LoadProblem::BadCommand, app.infPath));
        return;
    }
    const std::string twins = BackToBackMacros(line);
    if (!twins.empty())
        Warn(place, twins + ": two macros back to back do not both expand (%% is a literal %); "
                            "write them with \"\" between, as %A%\"\"%B%");
    CheckOtherSystems(line, cmd, place);
    CheckDriveCheck(cmd, place);
    CheckSources(cmd, place);
    CheckNumbers(cmd, place);
}

// How many bytes longer a folder macro's expansion is on `system` than on
// the described one, at most.
size_t Growth(const DescribedSystem& system)
{
    const size_t longer[] = {system.windowsDir.size(), system.systemDir.size(),
                             system.programFilesDir.size()};
    const size_t described[] = {strlen(g_setup.windowsDir), strlen(g_setup.systemDir),
                                strlen(g_setup.programFilesDir)};
    size_t growth = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (longer[i] > described[i] && longer[i] - described[i] > growth)
            growth = longer[i] - described[i];
    }
    return growth;
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
    const size_t growth = std::max(Growth(Windows2000System()), Growth(Windows98System()));
    if (longest + macros * growth < PathCapacity)
        return;
    for (const DescribedSystem* system : {&Windows2000System(), &Windows98System()}) {
        const std::string overlong = OverlongField(line, MacroValuesOf(*system));
        if (!overlong.empty()) {
            Warn(place, "with the folders of " + system->name + " (" + system->windowsDir + ", " +
                            system->systemDir + "), " + overlong + ": qvsetup refuses the line there");
            return;
        }
    }
}

// The probe path of the command's [CheckCdrom] value (without its drive)
// as the drive check splits the value at the command's turn; false when it
// can't.
bool ProbePathOf(const CommandRecord& cmd, std::string* probe, TokenizeStop* stop)
{
    DiscProbe split;
    if (!SplitCheckValue(cmd.checkEntry->value, g_setup.cdromLetter, MacroValuesOf(g_setup), &split,
                         stop))
        return false;
    *probe = split.path + DiscProbe::DriveLength;
    return true;
}

void MediaChecker::CheckDriveCheck(const CommandRecord& cmd, const Place& place)
{
    std::string probe;
    TokenizeStop stop = {};
    if (cmd.checkEntry && !ProbePathOf(cmd, &probe, &stop))
        Warn(place, "the [CheckCdrom] value of " + Quoted(cmd.checkKey) +
                        (stop.fault == LineFault::TooManyFields
                             ? std::string(" has more than three fields")
                             : " has a field that is too long (probe path " +
                                   std::to_string(DiscProbe::ProbeCapacity - 1) + ", prompt " +
                                   std::to_string(DiscProbe::PromptTextCapacity - 1) + ", buttons " +
                                   std::to_string(DiscProbe::ButtonSetCapacity - 1) + " bytes)") +
                        ": the drive check fails at this command's turn and the run ends without a "
                        "message");
}

// The disc folder that holds the probe file of the command's drive check
// (empty when no folder given does); false when the value can't be split.
bool MediaChecker::DiscOf(const CommandRecord& cmd, std::string* disc)
{
    std::string probe;
    TokenizeStop stop = {};
    if (!ProbePathOf(cmd, &probe, &stop))
        return false;
    const auto cached = discOfProbe_.find(probe);
    if (cached != discOfProbe_.end()) {
        *disc = cached->second;
        return true;
    }
    disc->clear();
    for (const std::string& folder : options_.folders) {
        if (AnythingMatches((folder + probe).c_str())) {
            *disc = folder;
            break;
        }
    }
    discOfProbe_[probe] = *disc;
    return true;
}

void MediaChecker::CheckSources(const CommandRecord& cmd, const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    const bool program = code == CmdProg || code == CmdEprog;
    const bool folder = code == CmdXcopy || code == CmdXcopyA;
    if (!(program || folder || code == CmdCopy || code == CmdExpand) || !(cmd.flags & CheckCdromFlag))
        return;
    const std::string source = cmd.param1;
    std::string disc;
    if (source.size() < 2 || (source[0] & ~0x20) != g_setup.cdromLetter || source[1] != ':' ||
        !DiscOf(cmd, &disc))
        return;
    if (disc.empty()) {
        if (!probesOnNoDisc_.insert(std::string(cmd.infPath) + "|" + cmd.checkKey).second)
            return;
        Warn(place, "the drive check " + Quoted(cmd.checkKey) +
                        " looks for a probe file that is on none of the discs checked: qvsetup "
                        "asks for the disc until the user gives up (give the other discs' folders "
                        "after the media folder)");
        return;
    }
    const std::string onDisc = disc + source.substr(2);
    if (!(program ? ProgramExists(onDisc) : FileExists(onDisc))) {
        Warn(place, "the source " + Quoted(source) + " is not on the disc (" + onDisc + "): " +
                        (folder ? "the command copies nothing" : "the command fails at its turn"));
        return;
    }
    std::string bytes;
    uint32_t length = 0;
    if (code == CmdExpand && ReadWholeFile(onDisc, &bytes) &&
        !ReadSzddLength(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &length))
        Warn(place, "the source " + Quoted(source) +
                        " is not a compressed (SZDD) file: EXPAND copies it unchanged");
}

// Number fields that qvsetup reads as 0 (or ignores) when they are no number.
void MediaChecker::CheckNumbers(const CommandRecord& cmd, const Place& place)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    const char* number = nullptr;
    const char* meaning = nullptr;
    if (code == CmdSleep) {
        number = cmd.param1;
        meaning = "SLEEP waits 0 ms";
    } else if (code == CmdAttention && cmd.param2[0] != '\0') {
        number = cmd.param2;
        meaning = "the notice closes at once and the run ends";
    } else if (code == CmdDelall && cmd.param2[0] != '\0') {
        number = cmd.param2;
        meaning = "DELALL leaves the subfolders";
    } else if (code == CmdShutdown && cmd.param2[0] != '\0') {
        number = cmd.param2;
        meaning = "SHUTDOWN restarts";
    }
    int32_t value = 0;
    if (number && !ReadDecimal(number, &value))
        Warn(place, Quoted(number) + " is not a number: " + meaning);
    uint32_t attributes = 0;
    if (code == CmdSetatt && ApplyAttributeChanges(cmd.param2, &attributes) != AttributeChange::Applied)
        Warn(place, "SETATT's changes " + Quoted(cmd.param2) +
                        " are refused at its turn (write +R, -H, +S, -A and blanks): the run ends");
}

void MediaChecker::Run()
{
    const std::string masterPath = g_setup.masterInfPath;
    bool read = false;
    const ProfileFile& master = LoadProfile(masterPath, &read);
    if (!read || InfFileSize(masterPath.c_str()) == -1) {
        Fail(Place{masterPath, 0},
             "the master INF can't be read (missing, opened by another program, or too large)",
             RuntimeMessage(LoadProblem::InfUnreadable, masterPath));
    } else {
        CheckFileBasics(masterPath, master, MasterSections);
        CheckVersion(masterPath, master);
        CheckConfig(master);
        CheckKeys(masterPath, master, "CheckCdrom", {});
        CheckPicture(master);
        AppRecord pseudo = {};
        strcpy(pseudo.infPath, g_setup.masterInfPath);
        CheckCommandSection(pseudo, "DefaultInstall", master);
        CheckCommandSection(pseudo, "CancelInstall", master);
    }
    CheckPriority(master);
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char chunk[ValueProbeCapacity];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &read, nullptr) != FALSE) && read > 0)
        bytes->append(chunk, read);
    CloseHandle(file);
    return ok;
}

void PrepareEngine(const CheckOptions& options)
{
    g_setup = SetupState{};
    LocateMasterInf(options.folders.front().c_str());
    const DescribedSystem& system = options.system;
    snprintf(g_setup.windowsDir, sizeof g_setup.windowsDir, "%s", system.windowsDir.c_str());
    snprintf(g_setup.systemDir, sizeof g_setup.systemDir, "%s", system.systemDir.c_str());
    snprintf(g_setup.programFilesDir, sizeof g_setup.programFilesDir, "%s",
             system.programFilesDir.c_str());
    g_setup.windowsLetter = g_setup.windowsDir[0];
    g_setup.cdromLetter = system.cdromLetter;
    g_setup.fdLetter = system.fdLetter;
    g_setup.bootLetter = system.bootLetter;
    g_setup.isAdmin = system.isAdmin;
    g_setup.platformId = system.ntFamily ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
    ReadSetupConfig(g_setup.masterInfPath, &g_setup.config);
}

void CheckInstallationMedia(const CheckOptions& options, Report& report)
{
    MediaChecker checker(options, report);
    checker.Run();
}
