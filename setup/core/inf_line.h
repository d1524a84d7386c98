// Byte-level routines of the INF command-line format: field splitting with
// quotes and %macros%, escape rewriting, the keyword table. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "setup/core/command_table.h"
#include "setup/core/dbcs.h"

constexpr uint32_t CheckCdromFlag = 0x80000000u;
constexpr uint32_t CheckFdFlag = 0x40000000u;

// Bits of a line's macro-use set.
enum MacroBit : uint32_t {
    MacroWinDir = 0x01, MacroWinSysDir = 0x02, MacroCdrom = 0x04, MacroWinDisk = 0x08,
    MacroBootDisk = 0x10, MacroProgramFiles = 0x20, MacroFd = 0x40,
};

// Byte that stands for the CD-ROM letter while no CD-ROM drive is known.
constexpr char CdromPlaceholder = static_cast<char>(0xFF);

// Longest macro name, in bytes; a longer one makes the line invalid.
constexpr size_t MaxMacroName = 259;

// What the macros expand to; the engine fills it from its settings.
struct MacroValues {
    const char* windowsDir;
    const char* systemDir;
    const char* programFilesDir;
    char cdromLetter;
    char windowsLetter;
    char bootLetter;
    char fdLetter;
};

// One macro: its name, its bit, and the member of MacroValues it expands
// to (a folder, or else a drive letter).
struct Macro {
    const char* name;
    uint32_t bit;
    const char* MacroValues::*folder;
    char MacroValues::*letter;
};

// The macros, the folders first.
const Macro* MacroTable(size_t* count);

// Why a command line is invalid.
enum class LineFault {
    None,
    FieldTooLong,      // a field does not fit its capacity
    TooManyFields,     // a field beyond the last one allowed
    MacroNameTooLong,  // a %name% longer than MaxMacroName
    UnknownKeyword,
    NoCheckKey,        // %CDROM% or %FD% used, and the fourth field is empty
    NoCheckValue,      // the fourth field names no non-empty [CheckCdrom] value
    OutOfMemory,       // no memory for the [CheckCdrom] entry
};

// A few words that name a fault, for the setup log.
const char* LineFaultText(LineFault fault);

// Where TokenizeLine stopped: its fault and the field (from 0) it was
// writing; for a line split whole, whether a quote was left open (it took
// the commas after it into its field).
struct TokenizeStop {
    LineFault fault;
    int field;
    bool quoteOpen;
};

// Splits `line` into at most `maxFields` comma-separated fields, each written
// NUL-terminated into fields[k] of capacities[k] bytes. Fields after the last
// one present are left untouched. `*macroUse` receives the bits of the table
// macros used. Answers false for a field that does not fit, a field beyond
// `maxFields`, or a macro name longer than MaxMacroName; `stop`, when given,
// then says which.
bool TokenizeLine(char* const fields[], const size_t capacities[], int maxFields,
                 uint32_t* macroUse, const char* line, const MacroValues& macros,
                 TokenizeStop* stop = nullptr);

// Expands the macros of `text` by the rules of a command line's field, but
// keeps its blanks and commas: the whole text is one field (a path such as
// %PROGRAMFILES%\Maker\QV.LOG). False when the result does not fit
// `capacity` or a macro name runs past MaxMacroName (`stop`, when given,
// says which).
bool ExpandWholeText(const char* text, char* expanded, size_t capacity, const MacroValues& macros,
                     TokenizeStop* stop = nullptr);

// The fields of a [CheckCdrom] value: the probe file's path behind the
// drive letter and its colon, the prompt, the button set.
struct DiscProbe {
    static constexpr size_t DriveLength = 2;            // "X:"
    static constexpr size_t ProbeCapacity = 258;
    static constexpr size_t PromptTextCapacity = 260;
    static constexpr size_t ButtonSetCapacity = 8;
    static constexpr int FieldCount = 3;
    char path[DriveLength + ProbeCapacity];
    char prompt[PromptTextCapacity];
    char buttonSet[ButtonSetCapacity];
};

// Splits a [CheckCdrom] value as the drive check does, the probe path put
// behind `letter`; false for a fourth field or a field that does not fit
// (`stop`, when given, says which).
bool SplitCheckValue(const char* value, char letter, const MacroValues& macros, DiscProbe* probe,
                     TokenizeStop* stop = nullptr);

// Rewrites backslash-n, backslash-t and two backslashes in place, byte by byte.
void UnescapeText(char* text);

// Replaces every byte `from` by `to` up to the terminating NUL.
void ReplaceChar(char* text, char from, char to);

// The command code of a keyword (ASCII letters compared case-insensitively),
// or 0 when the keyword is not in the command table.
uint32_t LookupKeyword(const char* keyword);

// A command as the log and qvcheck's plan write it: KEYWORD "param1"
// "param2", a double quote inside a field written as \"; cut to `capacity`.
void DescribeCommand(uint32_t flags, const char* param1, const char* param2, char* text,
                     size_t capacity);
