// The checker of one medium, shared by the files that check its parts:
// checker.cpp (the files, their sections and keys, the run of the checks),
// check_settings.cpp (the master INF's settings and [Priority]),
// check_commands.cpp (the applications and their commands) and
// check_sources.cpp (the sources on the discs).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "qvcheck/checker.h"
#include "qvcheck/profile_lines.h"
#include "qvcheck/report.h"
#include "setup/core/inf_line.h"
#include "setup/core/records.h"
#include "setup/core/setup_config.h"

// Room for any macro's expansion: bytes it may add per byte of the text.
constexpr size_t WidestExpansion = 33;

// A line of a file, where a finding about it is reported, and the column
// it points at (0: where the line's text begins).
struct Place {
    std::string path;
    int line;
    int column = 0;
};

class MediaChecker {
public:
    MediaChecker(const CheckOptions& options, const MediaView& view, Judged& judged,
                 Report& report)
        : options_(options), view_(view), judged_(judged), report_(report)
    {
    }
    void Run();

private:
    class ApplicationVisitor;

    void Warn(const Place& place, const say::Said& said);
    void Fail(const Place& place, const say::Said& said, const std::string& quote);
    int ColumnOf(const Place& place);
    // The place of byte `offset` of `text`, the trimmed text of the place's line.
    Place At(const Place& place, const std::string& text, size_t offset);

    // checker.cpp
    const ProfileFile& LoadProfile(const std::string& path, bool* read = nullptr);
    void CheckFileBasics(const std::string& path, const ProfileFile& file,
                         const std::vector<std::string>& known);
    std::vector<const ProfileLine*> CheckKeys(const std::string& path, const ProfileFile& file,
                                              const char* section,
                                              const std::vector<std::string>& known);
    void CheckMaster(const ProfileFile& master);

    // check_settings.cpp
    void CheckVersion(const std::string& path, const ProfileFile& file);
    void CheckModel(const std::string& path, const ProfileFile& file);
    void CheckConfig(const ProfileFile& master);
    void CheckConfigValue(const ConfigKey& key, const ProfileLine& line);
    void CheckLogPath(const ConfigKey& key, const Place& place, const std::string& value);
    void CheckPicture(const ProfileFile& master);
    void CheckSectionSize(const ProfileFile& master, const char* section);
    void CheckPriority(const ProfileFile& master);

    // check_commands.cpp
    void CheckApplication(const std::string& path, int priorityLine);
    bool CheckStrings(const std::string& path, const ProfileFile& file);
    bool CheckCommandSection(AppRecord& app, const char* section, const ProfileFile& file);
    void CheckCommandLine(AppRecord& app, const std::string& line, const Place& place,
                          CommandRecord* cmd);
    void CheckOtherSystems(const std::string& line, const CommandRecord& cmd, const Place& place);
    void CheckForeignPaths(const CommandRecord& cmd, const Place& place);
    void CheckDriveCheck(const CommandRecord& cmd, const Place& place);
    void CheckKeyProbe(const CommandRecord& cmd, const std::string& probe, const Place& place);
    void CheckNumbers(const CommandRecord& cmd, const Place& place);
    void CheckBackslashBytes(const std::string& line, const CommandRecord& cmd, const Place& place);
    void CheckEscapes(const std::string& text, const Place& place);

    // check_sources.cpp
    void CheckSources(const CommandRecord& cmd, const Place& place);
    bool DiscOf(const CommandRecord& cmd, std::string* disc);
    std::string SourceOnDisc(const CommandRecord& cmd);
    bool SourceSurelyAbsent(const CommandRecord& cmd);
    void CheckTreePaths(const CommandRecord& cmd, const Place& place);

    // check_turns.cpp
    void CheckTurn(const std::string& line, const CommandRecord& cmd, const Place& place);
    bool CheckNeededFields(const std::string& line, const CommandRecord& cmd, const Place& place);
    void CheckProgram(const CommandRecord& cmd, const Place& place);
    void CheckFileDestination(const CommandRecord& cmd, const Place& place);
    void CheckTreeDestination(const CommandRecord& cmd, const Place& place);
    void CheckTestedPath(const CommandRecord& cmd, const Place& place);
    void NoteFoldersMade(const CommandRecord& cmd);

    const CheckOptions& options_;
    const MediaView& view_;
    Judged& judged_;
    Report& report_;
    std::map<std::string, ProfileFile> files_;          // by the engine's path
    std::map<std::string, std::string> discOfProbe_;    // probe path: its disc ("": none)
    std::set<std::string> probesOnNoDisc_;              // reported once each
    std::vector<std::string> foldersMade_;              // by the commands checked so far
    // The first probe file of each drive-check key that is on a disc given,
    // by the course of the run (Install or Cancel), the kind of drive check
    // and the key (as qvsetup compares keys: byte by byte).
    struct KeyUse {
        std::string probe;
        std::string disc;
        std::string file;
        int line;
    };
    std::string course_;                                // of the commands checked now
    std::map<std::string, KeyUse> keyUses_;
    std::set<std::string> keyReported_;                 // once per key and INF file
};

// The lengths of a line's fields with big enough room for any expansion;
// empty when the line is too long to measure or has too many fields.
// `stop`, when given, says where the split stopped.
std::vector<size_t> FieldLengths(const std::string& line, const MacroValues& macros,
                                 TokenizeStop* stop = nullptr);

// The box that qvsetup shows when the command fails at its turn (its
// usual failure), or empty for a command that fails without one.
std::string FailureBox(const CommandRecord& cmd);

// The folder above a DELETE's or DELALL's path that the target machine
// may lack, so that the run ends there: neither one that every Windows of
// the described system's family has, nor one that the commands before it
// made (`made`); empty when there is none to fear.
std::string FolderThatMayLack(const CommandRecord& cmd, const Machine& machine,
                              const std::vector<std::string>& made);

// Adds the folders that a copy makes on its way to `made`.
void NoteFoldersMadeBy(const CommandRecord& cmd, std::vector<std::string>* made);

// True when the disc in the drive (the folder `inDrive`) answers a drive
// check for `probe` ("X:\...", a file of the disc folder `probeDisc`): it
// is that disc, or it holds that probe file too.
bool DiscAnswers(const std::string& inDrive, const std::string& probeDisc, const std::string& probe);

// True when a command's source names a path on the CD-ROM drive of `machine`.
bool IsOnCdrom(const std::string& source, const Machine& machine);

// A profile value as GetPrivateProfileStringA gives it to qvsetup, whole:
// blanks around it removed, and quotes around it too.
std::string ProfileValue(const std::string& path, const char* section, const char* key);
