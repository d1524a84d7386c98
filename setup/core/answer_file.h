// The answers of an unattended run: the [Unattended] section of the file
// that QVSETUP_ANSWERS names. The rules for each key and value; reading the
// file is the run's own (unattended.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "setup/core/records.h"

constexpr char AnswerSection[] = "Unattended";

enum class SelectAnswer {
    Default,    // what the selection dialog preselects
    All,        // every application offered
    Names,      // the applications whose INF file names Select lists
    Nothing,    // no application: [DefaultInstall] alone runs
};

constexpr char AutoDrive = '\0';                    // CdromDrive=AUTO
constexpr uint32_t LongestDiscWaitSeconds = 3600;
// How often an unattended wait for a disc looks for its probe file: often
// enough that a disc put in is taken at once, seldom enough that an empty
// drive is not kept busy.
constexpr uint32_t DiscProbeIntervalMs = 250;
constexpr uint32_t DiscWaitMsPerSecond = 1000;
constexpr uint32_t LongestWaitSeconds = 2147483;    // its milliseconds still fit in 31 bits
constexpr int SelectListCapacity = 1024;

struct Answers {
    SelectAnswer select;
    char selectNames[SelectListCapacity];   // Names: the comma list as written
    char cdromDrive;                        // a drive letter, or AutoDrive
    uint32_t discWaitSeconds;
    bool restart;                           // SHUTDOWN is carried out
    bool resume;                            // a run interrupted before goes on
    uint32_t progTimeoutSeconds;            // 0: a PROG may run as long as it likes
    uint32_t existTimeoutSeconds;           // 0: an EXIST may wait as long as it likes
    char logPath[PathCapacity];             // empty: the media's LOG
    char resultPath[PathCapacity];          // empty: no result file
};

enum class AnswerFault {
    None,
    UnknownKey,
    BadValue,       // outside the key's set of values
    TooLong,        // longer than the key's room
};

// One key of [Unattended]: its name, the value a run takes when the key is
// missing (empty: none), and how a value is taken into the answers.
struct AnswerKey {
    const char* name;
    const char* fallback;
    AnswerFault (*apply)(const char* value, Answers* answers);
};

// The keys, in the order the reference lists them.
const AnswerKey* AnswerKeys(size_t* count);

// The key named `name` (any case), or null.
const AnswerKey* FindAnswerKey(const char* name);

// Every key's fallback: Select=DEFAULT, CdromDrive=AUTO, DiscWait=300,
// Restart=NO, Resume=YES, ProgTimeout and ExistTimeout 3600, no Log and no
// Result of its own.
void SetDefaultAnswers(Answers* answers);

// Takes one key (any case) and its value into `answers`. Select is DEFAULT,
// ALL, NONE (what a person who checks nothing gets) or a comma list.
AnswerFault ApplyAnswer(const char* key, const char* value, Answers* answers);

// What a fault says, for the log and the result file.
const char* AnswerFaultText(AnswerFault fault);

// Steps through Select's comma list: copies the next name, blanks around it
// removed, into `name` and moves `cursor` past it; false at the end of the
// list. A name too long for `capacity` is given cut, and names no file.
bool NextSelectName(const char** cursor, char* name, size_t capacity);

// The file name of an INF path: what follows its last backslash.
const char* InfFileName(const char* infPath);
