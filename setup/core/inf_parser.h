// Reading INF scripts into AppRecord and CommandRecord lists through the
// platform's profile functions. Nothing here shows anything: a load that
// fails answers what went wrong as a LoadError, and the caller shows it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "setup/core/inf_line.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"
#include "setup/core/records.h"

// What stopped a load; each kind has its own runtime message.
enum class LoadProblem {
    None,
    InfUnreadable,  // the INF can't be opened (or its path does not fit)
    OutOfMemory,
    BadCommand,     // a command line is invalid
    NoTitle,        // an application INF without [Strings] TITLE
    BadModel,       // [Version] MODEL is no condition that typescan takes
};

constexpr size_t LoadDetailCapacity = PathCapacity + 128;
constexpr int SectionNameCapacity = 32;

struct LoadError {
    LoadProblem problem;
    char path[LoadDetailCapacity];      // the INF concerned
    char section[SectionNameCapacity];  // BadCommand: the section of the line
    int32_t lineIndex;                  // BadCommand: the line's place among the
                                        // section's lines as the profile reader
                                        // gives them, from 0
    LineFault fault;                    // BadCommand: why the line is invalid
};

// The message a LoadError shows, with its file where the message names one.
void FormatLoadMessage(const LoadError& error, char* text, size_t capacity);

// Why LoadAppInf left a file out without an error.
enum class SkipReason {
    None,
    NoSignature,        // [Version] signature is not "$QVSETUP$"
    NeedsAdministrator, // admini=YES and the user is no administrator
};

// Why the file at `path` is no application to offer on `machine`, or
// SkipReason::None.
SkipReason ReasonToSkip(const char* path, const Machine& machine);

// Reads one application INF into a new AppRecord appended to the
// applications of `media`, for `machine`, then parses its [Install] section. Answers true also
// when the file is skipped (`*skipped`, when given, says why); false with
// `*error` filled in.
bool LoadAppInf(const Machine& machine, Media& media, const char* path, LoadError* error,
                SkipReason* skipped = nullptr);

// Parses `section` of app->infPath and appends its commands to
// app->commands, each with its line number in the file and the line as
// written there; false with `*error` filled in. Records parsed before a bad
// line stay in the list.
bool LoadCommandSection(const Machine& machine, AppRecord* app, const char* section,
                        LoadError* error);

// The lines of a section as GetPrivateProfileSectionA returns them: NUL-ended
// strings, the last followed by an empty one, in a zero-filled block the
// caller frees with FreeZeroed. False when the INF can't be opened
// (InfUnreadable) or there is no memory (OutOfMemory), with `*problem` set.
bool ReadSectionLines(const char* path, const char* section, char** lines, LoadProblem* problem);

// The whole of a file's bytes, NUL-ended, in a block FreeFileBytes frees.
struct FileBytes {
    char* bytes;
    size_t size;
};

// Reads the INF at `path` whole; false, with `*problem` set as
// ReadSectionLines sets it, when it can't be read or there is no memory.
bool ReadFileBytes(const char* path, FileBytes* file, LoadProblem* problem);
void FreeFileBytes(FileBytes* file);

// Fills one CommandRecord from one line, its macros expanded to `macros`;
// shows nothing. False for an invalid
// line, with the reason in `*fault` and the field in `*field` when given.
bool ParseCommand(const MacroValues& macros, AppRecord* app, CommandRecord* cmd, const char* line,
                  LineFault* fault = nullptr, int32_t* field = nullptr);

// Points cmd->checkEntry at the application's [CheckCdrom] entry for
// cmd->checkKey, reading the value on first use. False when there is no
// memory or no non-empty value under that key; `*fault` then says which.
bool FindOrLoadCheck(CommandRecord* cmd, AppRecord* app, LineFault* fault = nullptr);

// Size of the file in bytes, or -1 when it can't be opened for exclusive
// reading (or is too large to be an INF).
int32_t InfFileSize(const char* path);

// Frees the commands and drive-check entries of one record.
void FreeAppRecordLists(AppRecord* app);

// Frees the applications of `media` with every command and drive-check entry.
void FreeAppList(Media& media);
