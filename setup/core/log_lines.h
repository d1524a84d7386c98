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
