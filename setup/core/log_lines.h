// The lines of the setup log that tools read, as printf formats in one
// place: the engine writes them with these formats, and the Linux tools
// (try-media) read this file to follow a run. No platform calls.
#pragma once

#include <cstddef>

// Every line starts with the local time: "YYYY-MM-DD hh:mm:ss.mmm ".
constexpr size_t LogTimeStampLength = 24;

constexpr char LogChosen[] = "chosen: \"%s\" (%s)";
constexpr char LogNothingChosen[] = "chosen: no application";
constexpr char LogCommandStart[] = "command %s";
constexpr char LogCheckedCommandStart[] = "command %s, drive check %s";
constexpr char LogLookingFor[] = "drive check %s: looking for %s";
constexpr char LogCommandDone[] = "%s done";
constexpr char LogEveryAppDone[] = "every chosen application is done";
constexpr char LogNothingLeftToRun[] = "the interrupted run has nothing left to run";
constexpr char LogNothingToRun[] = "nothing is chosen to run";
constexpr char LogCancelPressed[] = "Cancel pressed: %s";
constexpr char LogWindowsAbout[] = "Windows is about to %s";
constexpr char LogCommandEndedRun[] = "%s ended the run";
constexpr char LogDriveCheckEndedRun[] = "the drive check ended the run";
constexpr char LogProgramEnded[] = "PROG's program ended after %lu ms with exit code %lu";
constexpr char LogProgramNotWaited[] = "PROG's program can't be waited for: the run goes on";
constexpr char LogProgramTimedOut[] =
    "PROG's program still runs after %lu s (ProgTimeout): it is left running";
constexpr char LogExistTimedOut[] = "EXIST still finds nothing after %lu s (ExistTimeout)";
constexpr char LogSleepEnded[] = "SLEEP ended after %lu ms";
constexpr char LogExistFound[] = "EXIST found %s after %lu ms";
constexpr char LogExitCode[] = "qvsetup ends with exit code %d";
// Every start of qvsetup begins so; a run that stops for a restart says so
// last, and the next start of Windows goes on with it.
constexpr char LogRunStarted[] = "qvsetup %s started on Windows %lu.%lu.%lu (%s family), administrator: %s";
constexpr char LogSessionEnds[] = "Windows ends the session";
constexpr char LogJournalStays[] = "the journal stays: the run goes on when Windows starts again";
// Windows ends the session while PROG's program runs: the program's own
// restart, taken as its end; or, where another program may have asked for
// it (the program started only a moment before, or another program ended
// or was started just before the session began to end), it runs again.
constexpr char LogProgramRestarts[] =
    "the session ends while PROG's program runs (%lu ms): its restart, taken as its end";
constexpr char LogProgramRunsAgain[] =
    "the session ends while PROG's program runs (%lu ms), %s: it runs again after the restart";
constexpr char LogResumedTooOften[] = "the run went on at this command %lu times: it is given up";
