// The journal of a run that goes on after a restart or a power cut
// (RESUME=YES): where the run stands, as text with a sequence number and a
// check sum, so that a copy cut at any byte is known as no journal at all.
// Its format and reading; the files it lives in are the engine's
// (journal_file.h). No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "setup/core/records.h"
#include "setup/core/run_end.h"

constexpr int JournalAppCapacity = 128;
constexpr int RunIdCapacity = 32;
// The name under which the journal keeps [DefaultInstall] and [CancelInstall].
constexpr char DefaultInstallName[] = "[DefaultInstall]";
constexpr char CancelInstallName[] = "[CancelInstall]";

// One application of the run: chosen or not, as the result file lists them.
struct JournalApp {
    char name[PathCapacity];    // its INF file name, or one of the two names above
    AppStatus status;
    int32_t nextCommand;        // the command to run next (from 0): the one running when cut
    uint32_t seconds;           // its time so far
    bool stamped;               // its INF's size and sum are kept (a chosen application INF)
    uint32_t infSize;           // its INF as it was when the run started
    uint32_t infSum;
};

// How often in a row the run went on at a command that was cut off while it
// ran: a program that takes the machine down each time it runs (one that
// resets the PC) would otherwise be started again after every restart.
struct JournalResumes {
    uint32_t count;             // starts that went on at the command after it was cut off
    int32_t app;                // the application (index in apps) ...
    int32_t command;            // ... and its command where the run went on last
};

struct Journal {
    uint32_t sequence;                  // grows with every write
    char runId[RunIdCapacity];          // the run's own name: its start time
    char sourceDir[PathCapacity];       // the media folder
    char masterInfPath[PathCapacity];
    uint32_t masterSize;                // the master INF as it was when the run started:
    uint32_t masterSum;                 // its size and the sum of its bytes
    bool masterSummed;                  // false for a journal that kept its time instead
    char cdromLetter;                   // '\0' while no CD-ROM drive is known
    char answerFile[PathCapacity];      // empty: a person's run
    uint32_t seconds;                   // the run's time before this start of qvsetup
    JournalResumes resumes;
    bool commandRunning;                // the command at the current application's place has
                                        // started and not ended: a cut now cuts it off
    int32_t appCount;
    JournalApp apps[JournalAppCapacity];
};

// A sum of bytes (FNV-1a): a file's contents as the journal keeps them, by
// which an INF changed since (whatever its time says) is known. A sum goes
// on over more bytes from the sum `from` of the bytes before them.
constexpr uint32_t ContentSumStart = 2166136261u;
uint32_t ContentSum(const char* bytes, size_t size, uint32_t from = ContentSumStart);

// The journal as text; answers its length, or 0 when it does not fit
// `capacity` or a field holds a line break.
size_t FormatJournal(const Journal& journal, char* text, size_t capacity);

// Reads a journal's bytes; false for anything that is not a whole journal
// whose check sum holds (a copy cut at any byte among them).
bool ReadJournalText(const char* bytes, size_t size, Journal* journal);

// The journal that two alternating copies hold: the whole one with the
// higher sequence number (a copy cut while it was written is no journal).
// Answers which copy that is (0 or 1), or -1 when neither is whole. Either
// copy may be empty.
int ReadJournalCopies(const char* first, size_t firstSize, const char* second, size_t secondSize,
                      Journal* journal);

// The application the run is at: the first that runs, or else the first
// chosen one not reached; -1 when there is none.
int32_t CurrentJournalApp(const Journal& journal);
