// Every fact about the commands of INF command lines, one row a command:
// its keyword, its code, what sets it apart, the box it fails with, the
// answer that bounds its wait. The engine, the checker and its plan read
// these rows; no one else tells commands apart by their codes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "setup/core/answer_file.h"
#include "setup/core/messages.h"

// Command codes: the low 16 bits of CommandRecord::flags.
enum CommandCode : uint32_t {
    CmdProg = 0x0001,
    CmdCopy = 0x0002,
    CmdExpand = 0x0004,
    CmdDelete = 0x0008,
    CmdMsgbox = 0x0010,
    CmdExist = 0x0020,
    CmdSleep = 0x0040,
    CmdSetatt = 0x0080,
    CmdShutdown = 0x0100,
    CmdShellDde = 0x0200,
    CmdXcopy = 0x0400,
    CmdXcopyA = 0x0800,
    CmdAttention = 0x1000,
    CmdEprog = 0x2000,
    CmdDelall = 0x4000,
};

constexpr uint32_t CommandCodeMask = 0xFFFF;

// What sets a command apart, as bits of CommandFacts::traits.
enum CommandTrait : uint32_t {
    TraitEscapedText = 0x01,        // its first field is a text whose escapes are rewritten
    TraitEndsRunWhenDone = 0x02,    // when it ends, the run ends there as meant (a notice)
    TraitNotRepeatable = 0x04,      // run again after a power cut, it does its work twice
    TraitStartsProgram = 0x08,      // its first field is a command line it starts
    TraitCopiesFrom = 0x10,         // its first field is a source it reads (a file, or a tree)
    TraitCopiesTree = 0x20,         // that source is a folder
    TraitNumberFirst = 0x40,        // its first field is a number
    TraitNumberSecond = 0x80,       // its second field, when given, is a number
    TraitNeedsFirst = 0x100,        // with its first field empty it fails, or waits for ever
    TraitNeedsSecond = 0x200,       // with its second field empty it fails
    TraitWritesFile = 0x400,        // its second field is the file it writes
    TraitNeedsFolderAbove = 0x800,  // the folder above its first field must exist, or the run ends
    TraitWaitsForProgram = 0x1000,  // it waits while a program runs, which may restart Windows
    TraitTestsPath = 0x2000,        // its first field is a path it tests folder by folder
    TraitWaitsForPath = 0x4000,     // it waits until that path exists
    TraitCopiesSubfolders = 0x8000, // the tree it copies takes its subfolders along
    TraitRestartsWindows = 0x10000, // it restarts Windows (once a person agrees)
    TraitWaitsForPerson = 0x20000,  // it shows a box and waits until a person closes it
    TraitNoDriveCheck = 0x40000,    // its fields may name a drive without asking for the disc
    TraitExpandsSource = 0x80000,   // its source is a compressed file
    TraitChangesAttributes = 0x100000, // its second field is a list of attribute changes
};

// The answer of an unattended run that bounds a command's wait.
struct WaitLimit {
    const char* key;                // the answer key; null: the wait has no bound of its own
    uint32_t Answers::*seconds;     // where the answers hold it (0: no bound)
    const char* waitsFor;           // what the run waits for meanwhile, in a few words
};

struct CommandFacts {
    const char* name;
    uint32_t code;
    uint32_t traits;
    const char* fields[2];          // what its first and second fields are; null: it has none
    const char* failureBox;         // the box it fails with (one %s), or null
    int failureField;               // the field (1 or 2) that box names
    WaitLimit waitLimit;
    const char* notANumber;         // what a number field that is no number makes it do
};

// The commands, in the order the reference lists them.
inline constexpr CommandFacts Commands[] = {
    {"PROG", CmdProg,
     TraitNotRepeatable | TraitStartsProgram | TraitCopiesFrom | TraitNeedsFirst | TraitWaitsForProgram,
     {"command line", nullptr}, MsgCommandFailed, 1,
     {"ProgTimeout", &Answers::progTimeoutSeconds, "the program runs"}, nullptr},
    {"EPROG", CmdEprog, TraitNotRepeatable | TraitStartsProgram | TraitCopiesFrom | TraitNeedsFirst,
     {"command line", nullptr}, MsgCommandFailed, 1, {}, nullptr},
    {"COPY", CmdCopy, TraitCopiesFrom | TraitNeedsFirst | TraitNeedsSecond | TraitWritesFile,
     {"source", "destination"}, MsgExpandFailed, 1, {}, nullptr},
    {"EXPAND", CmdExpand,
     TraitCopiesFrom | TraitNeedsFirst | TraitNeedsSecond | TraitWritesFile | TraitExpandsSource,
     {"source", "destination"}, MsgExpandFailed, 1, {}, nullptr},
    {"DELETE", CmdDelete, TraitNeedsFirst | TraitNeedsFolderAbove | TraitTestsPath,
     {"path", nullptr}, nullptr, 0, {}, nullptr},
    {"DELALL", CmdDelall, TraitNumberSecond | TraitNeedsFirst | TraitNeedsFolderAbove | TraitTestsPath,
     {"folder", "number"}, nullptr, 0, {}, "DELALL leaves the subfolders"},
    {"SETATT", CmdSetatt, TraitNeedsFirst | TraitChangesAttributes,
     {"path", "attribute changes"}, MsgAttributesFailed, 1, {}, nullptr},
    {"EXIST", CmdExist, TraitNeedsFirst | TraitTestsPath | TraitWaitsForPath,
     {"path", nullptr}, nullptr, 0,
     {"ExistTimeout", &Answers::existTimeoutSeconds, "the file is missing"}, nullptr},
    {"SLEEP", CmdSleep, TraitNumberFirst,
     {"time", nullptr}, nullptr, 0, {}, "SLEEP waits 0 ms"},
    {"MSGBOX", CmdMsgbox, TraitEscapedText | TraitWaitsForPerson | TraitNoDriveCheck,
     {"text", "caption"}, nullptr, 0, {}, nullptr},
    {"ATTENTION", CmdAttention, TraitEscapedText | TraitEndsRunWhenDone | TraitNumberSecond,
     {"text", "display time"}, nullptr, 0, {}, "the notice closes at once and the run ends"},
    {"SHELLDDE", CmdShellDde, TraitNotRepeatable,
     {"DDE string", nullptr}, nullptr, 0, {}, nullptr},
    {"SHUTDOWN", CmdShutdown, TraitEscapedText | TraitNumberSecond | TraitRestartsWindows,
     {"question", "mode"}, nullptr, 0, {}, "SHUTDOWN restarts"},
    {"XCOPY", CmdXcopy, TraitCopiesFrom | TraitCopiesTree | TraitNeedsSecond,
     {"source", "destination folder"}, MsgBadDestination, 2, {}, nullptr},
    {"XCOPYA", CmdXcopyA, TraitCopiesFrom | TraitCopiesTree | TraitNeedsSecond | TraitCopiesSubfolders,
     {"source", "destination folder"}, MsgBadDestination, 2, {}, nullptr},
};

inline constexpr size_t CommandCount = sizeof Commands / sizeof Commands[0];

// The row of a command code (its low 16 bits), or null.
const CommandFacts* FactsOf(uint32_t code);

// True when the command of `code` (its low 16 bits) has `trait`.
bool CommandHas(uint32_t code, uint32_t trait);

// The keyword of a command code (its low 16 bits), or null.
const char* KeywordName(uint32_t code);

// The field that a command's failure box names: its first or second
// field, or null when it fails with no box of its own.
const char* FailureDetail(uint32_t code, const char* param1, const char* param2);

// The bound an unattended run puts on the command's wait, in seconds
// (0: none), from `answers`.
uint32_t WaitLimitSeconds(uint32_t code, const Answers& answers);
