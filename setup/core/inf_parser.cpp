// Reading INF scripts into AppRecord and CommandRecord lists.
#include "setup/core/inf_parser.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/owners.h"
#include "setup/core/memory.h"
#include "setup/core/messages.h"
#include "setup/core/model_condition.h"
#include "setup/core/profile_text.h"
#include "setup/core/setup_config.h"

namespace {

constexpr char Signature[] = "$QVSETUP$";
constexpr int SignatureCapacity = 11;
constexpr DWORD LargestInf = 0x7FFFFF00u;  // a size that, with the section's 2 extra bytes, stays positive

// Copies `text` into a field of `capacity` bytes; false when it does not fit.
bool CopyBounded(char* field, size_t capacity, const char* text)
{
    const size_t length = strlen(text);
    if (length >= capacity)
        return false;
    memcpy(field, text, length + 1);
    return true;
}

// Fills `*error` with a problem about the file at `path`; false, for the
// caller to answer.
bool Fail(LoadError* error, LoadProblem problem, const char* path)
{
    *error = LoadError{};
    error->problem = problem;
    snprintf(error->path, sizeof error->path, "%s", path);
    return false;
}

void FreeCommand(CommandRecord* cmd)
{
    if (cmd)
        FreeZeroed(cmd->lineText);
    FreeZeroed(cmd);
}

void FreeCommands(NodeList<CommandRecord>& commands)
{
    while (CommandRecord* cmd = PopFront(commands))
        FreeCommand(cmd);
}

void FreeChecks(NodeList<CheckCdromEntry>& checks)
{
    while (CheckCdromEntry* entry = PopFront(checks))
        FreeZeroed(entry);
}

// A NUL-ended copy of `length` bytes; null when there is no memory.
char* CopyOfBytes(const char* bytes, size_t length)
{
    char* copy = static_cast<char*>(AllocZeroed(length + 1));
    if (copy)
        memcpy(copy, bytes, length);
    return copy;
}

// Where the lines of a section stand in its file: the lines the profile
// reader keeps, comments passed over, in the order the section functions
// answer them. Without the file's bytes no line is placed.
class SectionPlaces {
public:
    SectionPlaces(const char* bytes, size_t size, const char* section)
        : reader_(bytes, size), inSection_(bytes && reader_.SeekSection(section))
    {
    }

    // The next line of the section that is no comment; false past its end.
    bool Next(ProfileTextLine* line)
    {
        while (inSection_ && reader_.Next(line)) {
            if (line->isSection)
                break;
            if (!line->isComment)
                return true;
        }
        inSection_ = false;
        return false;
    }

private:
    ProfileTextReader reader_;
    bool inSection_;
};

// Keeps where the command stands and its line as written: the file's line
// where it is known, else the line as the section functions gave it.
bool NoteCommandPlace(CommandRecord* cmd, const char* line, SectionPlaces& places)
{
    ProfileTextLine place;
    const bool placed = places.Next(&place);
    cmd->fileLine = placed ? place.number : 0;
    cmd->lineText = placed ? CopyOfBytes(place.text.begin, place.text.length)
                           : CopyOfBytes(line, strlen(line));
    return cmd->lineText != nullptr;
}

// Parses the lines of a section as ReadSectionLines gives them; `file`
// holds the INF's bytes (null when they could not be read).
bool ParseSectionLines(const MacroValues& macros, AppRecord* app, const char* section,
                       const char* lines, const FileBytes& file, LoadError* error)
{
    SectionPlaces places(file.bytes, file.size, section);
    int32_t index = 0;
    for (const char* line = lines; *line; line += strlen(line) + 1, ++index) {
        if (line[0] == ';')
            continue;
        CommandRecord* cmd = AllocRecord<CommandRecord>();
        if (!cmd)
            return Fail(error, LoadProblem::OutOfMemory, app->infPath);
        cmd->infPath = app->infPath;
        cmd->section = section;
        cmd->index = Count(app->commands);
        LineFault fault = LineFault::None;
        if (!ParseCommand(macros, app, cmd, line, &fault)) {
            FreeCommand(cmd);
            // A line that could not be read for want of memory is no bad line.
            if (fault == LineFault::OutOfMemory)
                return Fail(error, LoadProblem::OutOfMemory, app->infPath);
            Fail(error, LoadProblem::BadCommand, app->infPath);
            snprintf(error->section, sizeof error->section, "%s", section);
            error->lineIndex = index;
            error->fault = fault;
            return false;
        }
        if (!NoteCommandPlace(cmd, line, places)) {
            FreeCommand(cmd);
            return Fail(error, LoadProblem::OutOfMemory, app->infPath);
        }
        Append(app->commands, cmd);
    }
    return true;
}

// Reads TITLE and DESCRIPTION; false when the title is missing.
bool ReadStrings(AppRecord* app)
{
    GetPrivateProfileStringA("Strings", "TITLE", "", app->title, sizeof app->title, app->infPath);
    if (app->title[0] == '\0')
        return false;
    GetPrivateProfileStringA("Strings", "DESCRIPTION", "", app->description,
                             sizeof app->description, app->infPath);
    if (app->description[0] == '\0')
        snprintf(app->description, sizeof app->description, DefaultDescription, app->title);
    UnescapeText(app->description);
    return true;
}

} // namespace

SkipReason ReasonToSkip(const char* path, const Machine& machine)
{
    char signature[SignatureCapacity];
    GetPrivateProfileStringA("Version", "signature", "", signature, sizeof signature, path);
    if (!EqualsIgnoreCase(signature, Signature))
        return SkipReason::NoSignature;
    if (ProfileIsYes(path, "Version", "admini") && !machine.isAdmin)
        return SkipReason::NeedsAdministrator;
    return SkipReason::None;
}

void FormatLoadMessage(const LoadError& error, char* text, size_t capacity)
{
    switch (error.problem) {
    case LoadProblem::InfUnreadable:
        snprintf(text, capacity, MsgInfUnreadable, error.path);
        break;
    case LoadProblem::BadCommand:
        snprintf(text, capacity, MsgBadCommand, error.path);
        break;
    case LoadProblem::OutOfMemory:
        snprintf(text, capacity, "%s", MsgOutOfMemory);
        break;
    case LoadProblem::NoTitle:
        snprintf(text, capacity, "%s", MsgNoTitle);
        break;
    case LoadProblem::BadModel:
        snprintf(text, capacity, MsgBadModel, error.path);
        break;
    case LoadProblem::None:
        snprintf(text, capacity, "%s", "");
        break;
    }
}

int32_t InfFileSize(const char* path)
{
    const KernelHandle file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return -1;
    DWORD high = 0;
    const DWORD low = GetFileSize(file.get(), &high);
    // A size that does not fit in 31 bits (or could not be read) is no INF.
    if (low == INVALID_FILE_SIZE || high != 0 || low > LargestInf)
        return -1;
    return static_cast<int32_t>(low);
}

bool FindOrLoadCheck(CommandRecord* cmd, AppRecord* app, LineFault* fault)
{
    for (CheckCdromEntry* entry = First(app->cdChecks); entry; entry = Next(app->cdChecks)) {
        if (EqualsIgnoreCase(entry->key, cmd->checkKey)) {
            cmd->checkEntry = entry;
            return true;
        }
    }
    LineFault why = LineFault::NoCheckKey;
    CheckCdromEntry* entry = nullptr;
    if (cmd->checkKey[0] != '\0') {
        why = LineFault::OutOfMemory;
        entry = AllocRecord<CheckCdromEntry>();
    }
    if (entry) {
        GetPrivateProfileStringA("CheckCdrom", cmd->checkKey, "", entry->value,
                                 sizeof entry->value, cmd->infPath);
        if (entry->value[0] != '\0') {
            memcpy(entry->key, cmd->checkKey, sizeof entry->key);
            Append(app->cdChecks, entry);
            cmd->checkEntry = entry;
            return true;
        }
        why = LineFault::NoCheckValue;
        FreeZeroed(entry);
    }
    if (fault)
        *fault = why;
    return false;
}

bool ParseCommand(const MacroValues& macros, AppRecord* app, CommandRecord* cmd, const char* line,
                  LineFault* fault, int32_t* field)
{
    char keyword[KeywordCapacity] = {};
    char* const fields[] = {keyword, cmd->param1, cmd->param2, cmd->checkKey};
    const size_t capacities[] = {sizeof keyword, sizeof cmd->param1, sizeof cmd->param2,
                                 sizeof cmd->checkKey};
    uint32_t macroUse = 0;
    TokenizeStop stop = {};
    if (!TokenizeLine(fields, capacities, CommandFields, &macroUse, line, macros, &stop)) {
        if (fault)
            *fault = stop.fault;
        if (field)
            *field = stop.field;
        return false;
    }
    const uint32_t code = LookupKeyword(keyword);
    if (code == 0) {
        if (fault)
            *fault = LineFault::UnknownKeyword;
        return false;
    }
    cmd->flags = code;
    // A message may name a drive letter without asking for the disc.
    if (CommandHas(code, TraitNoDriveCheck))
        macroUse = 0;
    if (macroUse & MacroCdrom) {
        cmd->flags |= CheckCdromFlag;
        if (!FindOrLoadCheck(cmd, app, fault))
            return false;
    }
    if (macroUse & MacroFd) {
        cmd->flags |= CheckFdFlag;
        if (!FindOrLoadCheck(cmd, app, fault))
            return false;
    }
    return true;
}

bool ReadSectionLines(const char* path, const char* section, char** lines, LoadProblem* problem)
{
    *lines = nullptr;
    const int32_t size = InfFileSize(path);
    if (size == -1) {
        *problem = LoadProblem::InfUnreadable;
        return false;
    }
    // The section is never longer than the file; two more zero bytes keep
    // even a truncated answer terminated.
    const DWORD capacity = static_cast<DWORD>(size) + 2;
    *lines = static_cast<char*>(AllocZeroed(capacity));
    if (!*lines) {
        *problem = LoadProblem::OutOfMemory;
        return false;
    }
    GetPrivateProfileSectionA(section, *lines, capacity, path);
    return true;
}

bool ReadFileBytes(const char* path, FileBytes* file, LoadProblem* problem)
{
    *file = FileBytes{};
    const int32_t size = InfFileSize(path);
    if (size == -1) {
        *problem = LoadProblem::InfUnreadable;
        return false;
    }
    file->bytes = static_cast<char*>(AllocZeroed(static_cast<size_t>(size) + 1));
    if (!file->bytes) {
        *problem = LoadProblem::OutOfMemory;
        return false;
    }
    const KernelHandle handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD read = 0;
    const bool whole = handle.valid() &&
                       ReadFile(handle.get(), file->bytes, static_cast<DWORD>(size), &read, nullptr) &&
                       read == static_cast<DWORD>(size);
    if (!whole) {
        FreeFileBytes(file);
        *problem = LoadProblem::InfUnreadable;
        return false;
    }
    file->size = read;
    return true;
}

void FreeFileBytes(FileBytes* file)
{
    FreeZeroed(file->bytes);
    *file = FileBytes{};
}

bool LoadCommandSection(const Machine& machine, AppRecord* app, const char* section,
                        LoadError* error)
{
    char* lines = nullptr;
    LoadProblem problem = LoadProblem::None;
    if (!ReadSectionLines(app->infPath, section, &lines, &problem))
        return Fail(error, problem, app->infPath);
    // The file's bytes only place the lines: a file that can't be read
    // again now loads with its lines unplaced; no memory is no memory.
    FileBytes file = {};
    if (!ReadFileBytes(app->infPath, &file, &problem) && problem == LoadProblem::OutOfMemory) {
        FreeZeroed(lines);
        return Fail(error, problem, app->infPath);
    }
    const bool parsed = ParseSectionLines(MacroValuesOf(machine), app, section, lines, file, error);
    FreeFileBytes(&file);
    FreeZeroed(lines);
    return parsed;
}

bool LoadAppInf(const Machine& machine, Media& media, const char* path, LoadError* error,
                SkipReason* skipped)
{
    const SkipReason reason = ReasonToSkip(path, machine);
    if (skipped)
        *skipped = reason;
    if (reason != SkipReason::None)
        return true;

    AppRecord* app = AllocRecord<AppRecord>();
    if (!app)
        return Fail(error, LoadProblem::OutOfMemory, path);
    // A path too long for the record could not be read back: report it as
    // an INF that can't be read rather than parse a cut path.
    if (!CopyBounded(app->infPath, sizeof app->infPath, path)) {
        FreeZeroed(app);
        return Fail(error, LoadProblem::InfUnreadable, path);
    }
    if (!ReadStrings(app)) {
        FreeZeroed(app);
        return Fail(error, LoadProblem::NoTitle, path);
    }
    // A MODEL that does not fit is refused: a cut one would be another condition.
    const DWORD modelLength =
        GetPrivateProfileStringA("Version", "MODEL", "", app->model, sizeof app->model, path);
    size_t faultAt = 0;
    if (modelLength >= sizeof app->model - 1 ||
        (app->model[0] != '\0' && !ModelConditionFault(app->model, &faultAt).empty())) {
        FreeZeroed(app);
        return Fail(error, LoadProblem::BadModel, path);
    }
    if (media.config.listStyle == StyleMulti && ProfileIsYes(path, "Version", "Default"))
        app->selected = 1;
    Append(media.apps, app);
    return LoadCommandSection(machine, app, "Install", error);
}

void FreeAppRecordLists(AppRecord* app)
{
    FreeCommands(app->commands);
    FreeChecks(app->cdChecks);
}

void FreeAppList(Media& media)
{
    for (NodeList<AppRecord>* list : {&media.apps, &media.notOffered}) {
        while (AppRecord* app = PopFront(*list)) {
            FreeAppRecordLists(app);
            FreeZeroed(app);
        }
    }
    // No position survives the records it pointed at.
    media.apps.cursor = nullptr;
}
