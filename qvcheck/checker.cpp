// The checks of installation media: the files, their sections and keys,
// and the order in which the parts of a medium are checked.
#include "qvcheck/checker.h"

#include <windows.h>

#include <vector>

#include "qvcheck/media_checker.h"
#include "qvcheck/media_files.h"
#include "qvcheck/wording.h"
#include "setup/core/app_collection.h"
#include "setup/core/dbcs.h"
#include "setup/core/inf_parser.h"
#include "setup/core/setup_config.h"
#include "setup/core/startup.h"

namespace {

const std::vector<std::string> MasterSections = {"Version", "QvSetupConfig", "Priority",
                                                 "ExcludeForegroundWindow", "DefaultInstall",
                                                 "CancelInstall", "CheckCdrom", "Strings", "Install"};

// `path` with `from` at its start replaced by `to`; unchanged when it does
// not start with that folder. (`from` ends with a whole character, so the
// byte after it starts one: a backslash there is a separator.)
std::string Rebased(const std::string& path, const std::string& from, const std::string& to)
{
    if (from == to || path.compare(0, from.size(), from) != 0 ||
        (path.size() > from.size() && path[from.size()] != '\\'))
        return path;
    return to + path.substr(from.size());
}

// A path of the engine as the author finds the file: in the folder given.
std::string ShownPath(const MediaView& view, const std::string& path)
{
    return Rebased(path, view.engine, view.given);
}

// A folder as a full path, so that it means the same after the current
// directory has changed.
std::string FullPath(const std::string& folder)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : folder;
}

// Makes `folder` the current directory, by its short name when its long
// one is too long for that.
bool EnterFolder(const std::string& folder)
{
    if (SetCurrentDirectoryA(folder.c_str()))
        return true;
    char shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameA(folder.c_str(), shortPath, sizeof shortPath);
    return length > 0 && length < sizeof shortPath && SetCurrentDirectoryA(shortPath);
}

} // namespace

int MediaChecker::ColumnOf(const Place& place)
{
    return place.column > 0 || place.line <= 0 ? place.column : LoadProfile(place.path).ColumnOf(place.line);
}

Place MediaChecker::At(const Place& place, const std::string& text, size_t offset)
{
    Place at = place;
    at.column = LoadProfile(place.path).ColumnOf(place.line, text, offset);
    return at;
}

void MediaChecker::Warn(const Place& place, const say::Said& said)
{
    report_.Add(ShownPath(view_, place.path), place.line, ColumnOf(place), Severity::Warning, said);
}

void MediaChecker::Fail(const Place& place, const say::Said& said, const std::string& quote)
{
    report_.Add(ShownPath(view_, place.path), place.line, ColumnOf(place), Severity::Error, said,
                quote);
}

const ProfileFile& MediaChecker::LoadProfile(const std::string& path, bool* read)
{
    const auto loaded = files_.find(path);
    if (loaded != files_.end())
        return loaded->second;
    std::string bytes;
    const bool whole = ReadPlainFile(path, LargestReadFile, &bytes);
    if (read)
        *read = whole;
    return files_.emplace(path, ProfileFile(bytes)).first->second;
}

// A byte order mark, text that is not CP932, unknown sections and repeated ones: what the profile
// reader takes otherwise than an author may mean.
void MediaChecker::CheckFileBasics(const std::string& path, const ProfileFile& file,
                                   const std::vector<std::string>& known)
{
    if (file.hasByteOrderMark())
        Warn(Place{path, 0}, say::ByteOrderMark());
    const TextEncodingFinding& foreign = file.foreignText();
    if (foreign.fault != TextEncodingFault::None)
        Fail(Place{path, foreign.line}, say::NotCp932(foreign.fault == TextEncodingFault::LooksUtf8),
             std::string());
    for (const ProfileSection& section : file.sections()) {
        if (section.number == 0)
            continue;
        const Place place{path, section.number};
        const ProfileSection* first = file.Find(section.name);
        if (first != &section) {
            Warn(place, say::SecondSection(section.name, first->number));
            continue;
        }
        bool isKnown = false;
        for (const std::string& name : known)
            isKnown = isKnown || SameName(name, section.name);
        if (!isKnown)
            Warn(place, say::UnknownSection(section.name, known));
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
            Warn(place, say::KeySetAgain(line.name, first->number));
            continue;
        }
        bool isKnown = known.empty();
        for (const std::string& name : known)
            isKnown = isKnown || SameName(name, line.name);
        if (!isKnown) {
            Warn(place, say::UnknownKey(line.name, section, known));
            continue;
        }
        counted.push_back(&line);
    }
    return counted;
}

void MediaChecker::CheckMaster(const ProfileFile& master)
{
    const std::string path = judged_.media.masterInfPath;
    CheckFileBasics(path, master, MasterSections);
    CheckVersion(path, master);
    CheckConfig(master);
    CheckKeys(path, master, "CheckCdrom", {});
    CheckPicture(master);
    CheckSectionSize(master, "Priority");
    CheckSectionSize(master, "ExcludeForegroundWindow");
    AppRecord pseudo = {};
    strcpy(pseudo.infPath, judged_.media.masterInfPath);
    CheckCommandSection(pseudo, "DefaultInstall", master);
    CheckCommandSection(pseudo, "CancelInstall", master);
}

void MediaChecker::Run()
{
    const std::string masterPath = judged_.media.masterInfPath;
    const std::string onDisc = DiscPath(view_, masterPath);
    if (onDisc.size() >= PathCapacity) {
        // qvsetup can't even name the master INF: it reads an empty path.
        Fail(Place{masterPath, 0}, say::MasterPathTooLongOnDisc(view_.disc, onDisc.size()),
             say::RuntimeMessage(LoadProblem::InfUnreadable, ""));
        return;
    }
    bool read = false;
    const ProfileFile& master = LoadProfile(masterPath, &read);
    if (!read || InfFileSize(masterPath.c_str()) == -1)
        Fail(Place{masterPath, 0}, say::MasterUnreadable(),
             say::RuntimeMessage(LoadProblem::InfUnreadable, onDisc));
    else
        CheckMaster(master);
    CheckPriority(master);
}

std::string DiscPath(const MediaView& view, const std::string& path)
{
    return Rebased(path, view.engine, view.disc);
}

MediaView PrepareEngine(CheckOptions& options, Judged* judged)
{
    for (std::string& folder : options.folders)
        folder = FullPath(folder);
    if (!options.answersFile.empty())
        options.answersFile = FullPath(options.answersFile);
    if (!options.smbiosDump.empty())
        options.smbiosDump = FullPath(options.smbiosDump);
    MediaView view{options.folders.front(), options.discFolder, options.folders.front()};
    if (EnterFolder(view.given))
        view.engine = ".";
    *judged = Judged{};
    LocateMasterInf(view.engine.c_str(), &judged->media);
    ApplySystem(options.system, judged->machine);
    ReadSetupConfig(judged->media.masterInfPath, &judged->media.config);
    return view;
}

bool LoadJudgedOffer(Judged& judged, AppRecord& defaultInstall, AppRecord& cancelInstall,
                     LoadError* error)
{
    std::vector<char> patterns(MasterSectionCapacity);
    ReadMasterSection(judged.media, "Priority", patterns.data(), DefaultPattern);
    if (!LoadOffer(judged.machine, judged.media, defaultInstall, cancelInstall, patterns.data(), error))
        return false;
    if (judged.models)
        OfferByModel(judged.media, *judged.models);
    return true;
}

void ApplySystem(const DescribedSystem& system, Machine& state)
{
    snprintf(state.windowsDir, sizeof state.windowsDir, "%s", system.windowsDir.c_str());
    snprintf(state.systemDir, sizeof state.systemDir, "%s", system.systemDir.c_str());
    snprintf(state.programFilesDir, sizeof state.programFilesDir, "%s",
             system.programFilesDir.c_str());
    state.windowsLetter = state.windowsDir[0];
    state.cdromLetter = system.cdromLetter;
    state.fdLetter = system.fdLetter;
    state.bootLetter = system.bootLetter;
    state.isAdmin = system.isAdmin;
    state.platformId = system.ntFamily ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
}

void CheckInstallationMedia(const CheckOptions& options, const MediaView& view, Judged& judged,
                            Report& report)
{
    MediaChecker checker(options, view, judged, report);
    checker.Run();
}
