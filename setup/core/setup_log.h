// The setup log for a support desk: one line per event, each with the local
// time to the millisecond, appended in CP932 with CR LF to the file that
// [QvSetupConfig] LOG names. Without LOG nothing is written anywhere.
//
// Lines go to a writer thread of their own, which opens, writes and closes
// the file: a file that can't be opened or written, or a slow network
// share, never holds the run up for long, shows nothing, and loses only log
// lines.
#pragma once

#include <windows.h>

#include <cstddef>

#include "setup/core/machine.h"
#include "setup/core/media.h"

// Starts the log at LOG of the media's settings, its macros expanded on
// `machine` as in command lines; nothing when LOG is empty or does not
// expand within 259 bytes.
void StartSetupLog(const Machine& machine, const Media& media);

bool SetupLogIsOn();

// Adds one line, printf-style; line feeds in it are written as \n. Nothing
// when the log is off. A line that finds no room while the writer is behind
// is counted, and "N lines lost" goes before the next line that is kept.
void LogEvent(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Waits a moment until every line so far is in the file: called before a
// step that may last (a command, a box), so that a process killed during it
// leaves every line so far. A file that takes longer is written behind the
// run, without waits, until the writer has caught up again.
void SettleSetupLog();

// Waits a bounded time until every line so far is in the file (before
// Windows restarts).
void FlushSetupLog();

// Writes what is left, waiting a bounded time, and closes the file.
void FinishSetupLog();

// The run's start: version, system, the media's settings, and the
// machine's folders and drive letters.
void LogStartOfRun(const Machine& machine, const Media& media);
