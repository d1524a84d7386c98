// The checks of the master INF's settings: [Version], [QvSetupConfig], the
// background picture, the size of its list sections, and the [Priority]
// walk that finds the application INFs.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "qvcheck/media_checker.h"
#include "qvcheck/media_files.h"
#include "qvcheck/wording.h"
#include "setup/core/app_collection.h"
#include "setup/core/bmp_header.h"
#include "setup/core/command_text.h"
#include "setup/core/dbcs.h"
#include "setup/core/model_condition.h"

namespace {

constexpr size_t ValueProbeCapacity = 65536;   // reads a whole profile value
constexpr size_t SectionEndBytes = 2;          // a section's answer ends with two NULs

const std::vector<std::string> VersionKeys = {"signature", "admini", "Default", "MODEL"};

bool IsYesOrNo(const std::string& value)
{
    return SameName(value, "YES") || SameName(value, "NO");
}

// `path` without its last `count` names (the folder `count` levels up).
std::string FolderUp(std::string path, size_t count)
{
    for (const char* slash; count > 0 && (slash = FindLastBackslash(path.c_str())) != nullptr; --count)
        path.erase(static_cast<size_t>(slash - path.c_str()));
    return path;
}

// A folder without the backslash that may close it ("D:\SETUP\" is
// "D:\SETUP"; a drive's root keeps its own).
std::string WithoutClosingBackslash(const std::string& folder)
{
    const char* last = FindLastBackslash(folder.c_str());
    const bool closing = last && static_cast<size_t>(last - folder.c_str()) + 1 == folder.size();
    return closing && folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
}

// The file here of `onDisc`, a full path on the disc: in the media folder
// given where it lies in the media folder on the disc (`view.disc`, "R:"
// on the root, "R:\SETUP" one folder down), else in the folders above it.
std::string GivenFileOf(const std::string& onDisc, const MediaView& view)
{
    const std::string given = WithoutClosingBackslash(view.given);
    const size_t folder = view.disc.size();
    if (onDisc.size() > folder && SameName(onDisc.substr(0, folder), view.disc) && onDisc[folder] == '\\')
        return given + onDisc.substr(folder);
    size_t depth = 0;
    std::string rest = view.disc;
    for (std::string up; (up = FolderUp(rest, 1)).size() < rest.size(); ++depth)
        rest = up;
    return FolderUp(given, depth) + onDisc.substr(DiscProbe::DriveLength);
}

// The file that qvsetup reads for a picture path as written: a name
// without a drive from the folder it starts in, which a disc's autorun
// makes the disc's root; a path on the disc's drive from the disc, read
// here in the folders given; any other full path as it stands.
std::string PictureOnMedia(const std::string& written, const MediaView& view)
{
    // Windows takes "/" for "\" (no CP932 trail byte is "/"), and ".\"
    // for the folder itself.
    std::string path = written;
    std::replace(path.begin(), path.end(), '/', '\\');
    while (path.compare(0, 2, ".\\") == 0)
        path.erase(0, 2);
    const bool drive = path.size() > 1 && path[1] == ':';
    if ((drive && FoldAscii(path[0]) != FoldAscii(view.disc[0])) || path.compare(0, 2, "\\\\") == 0)
        return path;
    const std::string rest = drive ? path.substr(DiscProbe::DriveLength) : path;
    return GivenFileOf(view.disc.substr(0, DiscProbe::DriveLength) + (rest.compare(0, 1, "\\") == 0 ? "" : "\\") + rest,
                       view);
}

} // namespace

std::string ProfileValue(const std::string& path, const char* section, const char* key)
{
    std::vector<char> value(ValueProbeCapacity);
    GetPrivateProfileStringA(section, key, "", value.data(), static_cast<DWORD>(value.size()),
                             path.c_str());
    return value.data();
}

void MediaChecker::CheckVersion(const std::string& path, const ProfileFile& file)
{
    for (const ProfileLine* line : CheckKeys(path, file, "Version", VersionKeys)) {
        if (SameName(line->name, "signature"))
            continue;
        const std::string value = ProfileValue(path, "Version", line->name.c_str());
        // MODEL is judged after TITLE, as qvsetup reads them.
        if (SameName(line->name, "MODEL"))
            continue;
        if (!IsYesOrNo(value))
            Warn(At(Place{path, line->number}, line->text, line->name.size() + 1),
                 say::NotYesOrNo(line->name + "=" + value, false));
    }
}

// An application INF's MODEL judged by typescan's own parser, at the word
// at fault.
void MediaChecker::CheckModel(const std::string& path, const ProfileFile& file)
{
    const ProfileLine* found = file.FindKey("Version", "MODEL");
    const std::string value = ProfileValue(path, "Version", "MODEL");
    size_t offset = 0;
    std::string fault = found && !value.empty() ? ModelConditionFault(value.c_str(), &offset)
                                                : std::string();
    if (found && value.size() >= PathCapacity - 1)
        fault = std::to_string(value.size()) + " bytes, where qvsetup keeps " +
                std::to_string(PathCapacity - 2);
    if (fault.empty() && found && !value.empty() && judged_.media.sourceDir[0] != '\0') {
        const std::string unreadable = WhyModelUnreadable(judged_.media.sourceDir, options_.system);
        if (!unreadable.empty())
            Warn(At(Place{path, found->number}, found->text, found->name.size() + 1),
                 say::ModelUnreadable(unreadable));
    }
    if (fault.empty())
        return;
    const ProfileLine& line = *found;
    // The profile reader drops the quotes around a value: the word stands one byte further on.
    const size_t equals = line.text.find('=');
    size_t start = equals == std::string::npos ? line.name.size() + 1 : equals + 1;
    while (start < line.text.size() && (line.text[start] == ' ' || line.text[start] == '\t'))
        ++start;
    if (start < line.text.size() && line.text[start] == '"')
        ++start;
    Fail(At(Place{path, line.number}, line.text, start + offset),
         say::BadModel(line.name + "=" + value, fault),
         say::RuntimeMessage(LoadProblem::BadModel, DiscPath(view_, path)));
}

// LOG judged by qvsetup's own rule, expanded with room enough to say how
// long a path that does not fit would be.
void MediaChecker::CheckLogPath(const ConfigKey& key, const Place& place, const std::string& value)
{
    const std::string shown = std::string(key.name) + "=" + value;
    std::vector<char> expanded(value.size() * WidestExpansion + PathCapacity);
    switch (ExpandLogPath(value.c_str(), MacroValuesOf(judged_.machine), expanded.data(), expanded.size())) {
    case LogPathFault::TooLongAsWritten:
        Warn(place, say::LogTooLong(key.name, value.size(), key.capacity));
        break;
    case LogPathFault::MacroNameTooLong:
        Warn(place, say::LogMacroRunsOn(shown));
        break;
    case LogPathFault::TooLongExpanded:
        Warn(place, say::LogTooLongExpanded(shown, strlen(expanded.data())));
        break;
    case LogPathFault::NoPath:
        Warn(place, say::LogExpandsToNothing(std::string(key.name) + " value " + say::Quoted(value)));
        break;
    case LogPathFault::None:
    case LogPathFault::Off:
        break;
    }
}

void MediaChecker::CheckConfigValue(const ConfigKey& key, const ProfileLine& line)
{
    // A finding points at the value.
    const Place place = At(Place{judged_.media.masterInfPath, line.number}, line.text, line.name.size() + 1);
    const std::string value = ProfileValue(judged_.media.masterInfPath, ConfigSection, key.name);
    const std::string shown = std::string(key.name) + "=" + value;
    switch (key.kind) {
    case ConfigValueKind::YesNo:
        if (!IsYesOrNo(value))
            Warn(place, say::NotYesOrNo(shown, SameName(key.fallback, "YES")));
        break;
    case ConfigValueKind::Style: {
        ListStyle style = StyleSingleList;
        if (!StyleOf(value.c_str(), &style))
            Warn(place, say::NotAStyle(shown));
        break;
    }
    case ConfigValueKind::Number: {
        int32_t number = 0;
        const bool decimal = ReadDecimal(value.c_str(), &number) &&
                             value.find_first_not_of("-+0123456789") == std::string::npos;
        if (!decimal)
            Warn(place, say::NotANumber(shown, judged_.media.config.tickInterval));
        else if (number < 0)
            Warn(place, say::NegativeTick(shown));
        break;
    }
    case ConfigValueKind::Path:
        CheckLogPath(key, place, value);
        break;
    case ConfigValueKind::Text:
    case ConfigValueKind::EscapedText:
        if (value.size() >= key.capacity)
            Warn(place, say::ValueCut(key.name, value.size(), key.capacity - 1));
        if (key.kind == ConfigValueKind::EscapedText)
            CheckEscapes(value, place);
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
    for (const ProfileLine* line : CheckKeys(judged_.media.masterInfPath, master, ConfigSection, names))
        CheckConfigValue(*FindConfigKey(line->name.c_str()), *line);
}

void MediaChecker::CheckPicture(const ProfileFile& master)
{
    const SetupConfig& config = judged_.media.config;
    if (!config.showBackground || config.bitmapPath[0] == '\0')
        return;
    const ProfileLine* line = master.FindKey(ConfigSection, "BITMAP");
    Place place{judged_.media.masterInfPath, line ? line->number : 0};
    if (line)
        place = At(place, line->text, line->name.size() + 1);   // at the value
    std::string bytes;
    if (!ReadPlainFile(PictureOnMedia(config.bitmapPath, view_), LargestReadFile, &bytes)) {
        Warn(place, say::PictureUnreadable(config.bitmapPath));
        return;
    }
    BmpLayout layout;
    if (!CheckBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &layout))
        Warn(place, say::PictureRefused(config.bitmapPath));
}

// A list section is read into a buffer of its own size: the line that
// passes its end, and every line after it, are not seen by qvsetup.
void MediaChecker::CheckSectionSize(const ProfileFile& master, const char* section)
{
    const ProfileSection* found = master.Find(section);
    if (!found)
        return;
    size_t used = 0;
    for (size_t index : found->answered) {
        const ProfileLine& line = found->lines[index];
        used += line.text.size() + 1;
        if (used + SectionEndBytes > MasterSectionCapacity) {
            Warn(Place{judged_.media.masterInfPath, line.number},
                 say::SectionCut(section, MasterSectionCapacity));
            return;
        }
    }
}

// Tells the checker of every application INF that [Priority] finds, as
// qvsetup would find it on the disc.
class MediaChecker::ApplicationVisitor : public PriorityVisitor {
public:
    ApplicationVisitor(MediaChecker& checker, const ProfileFile& master, const char* patterns)
        : checker_(checker), master_(master)
    {
        for (const char* line = patterns; *line; line += strlen(line) + 1)
            lines_.push_back(line);
        reported_.resize(lines_.size());
    }
    bool Visit(const char* path, int lineIndex) override
    {
        const std::string onDisc = DiscPath(checker_.view_, path);
        const Place master{checker_.judged_.media.masterInfPath, LineOf(lineIndex)};
        const std::string pattern =
            DiscPath(checker_.view_, std::string(checker_.judged_.media.sourceDir) + "\\" + lines_[lineIndex]);
        if (pattern.size() >= PathCapacity) {
            if (!reported_[lineIndex])
                checker_.Warn(master, say::PatternTooLongOnDisc(lines_[lineIndex], pattern));
            reported_[lineIndex] = true;
        } else if (onDisc.size() >= PathCapacity) {
            checker_.Warn(Place{path, 0}, say::PassedOverOnDisc(onDisc));
        } else if (!IsPlainFile(path)) {
            const char* slash = FindLastBackslash(path);
            checker_.Warn(master, say::DeviceNotFile(slash ? slash + 1 : path));
        } else {
            checker_.CheckApplication(path, master.line);
        }
        return true;
    }
    void FoundNothing(const char* line, int lineIndex) override
    {
        const int number = LineOf(lineIndex);
        checker_.Warn(Place{checker_.judged_.media.masterInfPath, number},
                      say::PriorityFindsNothing(line, number == 0));
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
    std::vector<std::string> lines_;
    std::vector<bool> reported_;
};

void MediaChecker::CheckPriority(const ProfileFile& master)
{
    std::vector<char> patterns(MasterSectionCapacity);
    ReadMasterSection(judged_.media, "Priority", patterns.data(), DefaultPattern);
    ApplicationVisitor visitor(*this, master, patterns.data());
    WalkPriorityFiles(judged_.media.sourceDir, patterns.data(), visitor);
}
