// The checks of installation media, made with the engine's own loading
// code: every problem that qvsetup meets while loading, or later at a
// command's turn, reported with its file and line.
#pragma once

#include <string>

#include "qvcheck/options.h"
#include "qvcheck/report.h"

// Points the engine's state at the media folder and the described system,
// as qvsetup's start-up does for the machine it runs on.
void PrepareEngine(const CheckOptions& options);

// Checks the media of the prepared engine; the findings go to `report`.
void CheckInstallationMedia(const CheckOptions& options, Report& report);

// The whole file at `path`, or false when it can't be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);
