// How a run of qvsetup ends: its exit codes and what each means, in one
// table that the engine, qvcheck, the Linux tools and the reference read.
// No platform calls.
#pragma once

// The exit codes. An interactive run ends with EndDone or EndNoWindow
// alone; an unattended run with any of them. Each fits in a byte, as
// COMMAND.COM keeps only the low 8 bits.
enum RunEnd : int {
    EndDone = 0,
    EndNoWindow = 1,
    EndLoadFailed = 2,
    EndCommandFailed = 3,
    EndNoDisc = 4,
    EndWaitTimedOut = 5,
    EndBadAnswers = 6,
    EndAlreadyRunning = 7,
    EndStoppedOutside = 8,
    EndRestartNeeded = 10,
};

// The mutex by which a start of qvsetup knows that another one runs
// (EndAlreadyRunning).
constexpr char RunningMutexName[] = "QVSETUP Running Identify";

struct RunEndFact {
    RunEnd end;
    const char* meaning;    // the result file's Reason, unless the end names its own
    bool installed;         // the installation is done: a line may go on
};

// In the order of the codes, as the reference lists them.
constexpr RunEndFact RunEndFacts[] = {
    {EndDone, "done", true},
    {EndNoWindow, "no administrator rights, or the main window could not be created", false},
    {EndLoadFailed, "the scripts could not be loaded", false},
    {EndCommandFailed, "a command failed", false},
    {EndNoDisc, "a disc prompt found no disc in time", false},
    {EndWaitTimedOut, "a wait ran past its limit", false},
    {EndBadAnswers, "the answer file is missing, unreadable or wrong", false},
    {EndAlreadyRunning, "another qvsetup is running", false},
    {EndStoppedOutside, "stopped from outside", false},
    {EndRestartNeeded, "done, restart needed", true},
};

// The Reason of a result file written while the run goes on (its ExitCode
// is empty): a run killed, or a PC reset, leaves it so.
constexpr char RunningReason[] = "running";

// The result file: the section of the run, with its keys, then a section
// for each application offered, named by its INF file, with its own keys.
constexpr char ResultSection[] = "Result";

struct ResultKeyNames {
    const char* exitCode;   // the run's exit code; empty while the run goes on
    const char* reason;     // what the exit code means, or why the run ended so
    const char* process;    // while the run goes on: the id of its process
    const char* message;    // the box that ended the run
    const char* failedAt;   // the command that ended it, where it stands
    const char* seconds;    // the run's time, or an application's
    const char* status;     // how far an application got
};

constexpr ResultKeyNames ResultKeys = {"ExitCode", "Reason", "Process", "Message", "FailedAt", "Seconds", "Status"};

// How a value stays on one line: each byte on the left is written as the
// two on the right (a CR is left out); the second byte of a double-byte
// character is written as it is.
struct ResultEscape {
    char byte;
    char written[3];
};

constexpr ResultEscape ResultEscapes[] = {{'\\', "\\\\"}, {'\n', "\\n"}};

// What `end` means, from the table.
constexpr const char* RunEndMeaning(RunEnd end)
{
    for (const RunEndFact& fact : RunEndFacts) {
        if (fact.end == end)
            return fact.meaning;
    }
    return "unknown";
}

// True when a run that ended so has installed what was chosen.
constexpr bool RunEndInstalled(RunEnd end)
{
    for (const RunEndFact& fact : RunEndFacts) {
        if (fact.end == end)
            return fact.installed;
    }
    return false;
}

// How far one application got, as the result file and the journal say it.
// Paused: the run stopped for a restart in the middle of the application,
// and goes on with its next command after the restart. NotOffered: its
// MODEL names other models; ModelUnread: not chosen, and its MODEL could not
// be answered since the machine's model could not be read.
enum class AppStatus { NotChosen, NotReached, Running, Done, Failed, Paused, NotOffered, ModelUnread };

struct AppStatusName {
    AppStatus status;
    const char* name;
};

constexpr AppStatusName AppStatusNames[] = {
    {AppStatus::NotChosen, "not chosen"}, {AppStatus::NotReached, "not reached"},
    {AppStatus::Running, "running"},      {AppStatus::Done, "done"},
    {AppStatus::Failed, "failed"},       {AppStatus::Paused, "paused"},
    {AppStatus::NotOffered, "not offered"}, {AppStatus::ModelUnread, "model unread"},
};

constexpr const char* AppStatusText(AppStatus status)
{
    for (const AppStatusName& entry : AppStatusNames) {
        if (entry.status == status)
            return entry.name;
    }
    return "unknown";
}
