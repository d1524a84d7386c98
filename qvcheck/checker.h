// The checks of installation media, made with the engine's own loading
// code: every problem that qvsetup meets while loading, or later at a
// command's turn, reported with its file and line.
#pragma once

#include <string>

#include "qvcheck/model_table.h"
#include "qvcheck/options.h"
#include "qvcheck/report.h"
#include "setup/core/app_collection.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"

// Where the media folder is, three ways: as given, as it stands on the disc
// when qvsetup runs there, and as the engine reads it here.
struct MediaView {
    std::string given;   // the folder named on the command line
    std::string disc;    // "D:" (the root of the CD-ROM drive) or a folder on the disc
    std::string engine;  // "." with the given folder as the current directory, or `given`
};

// The machine that qvcheck judges the media for, and the media as the
// engine's loading code reads them there: qvcheck's own, filled from the
// system described and the folder given, never the running engine's.
struct Judged {
    Machine machine;
    Media media;
    DumpModelJudge* models = nullptr;   // /smbios: the model judged; null: every model
    std::string modelName;          // /smbios: the dump's file name
};

// Fills `judged` from the media folder and the described system, as
// qvsetup's start-up does for the machine it runs on, and answers where
// the media folder is. Path limits are judged on the disc, not on the folder
// given: the engine reads the folder as "." from within it, so that no path
// is longer here than it is on the disc.
// The folders of `options`, and its answer file, become full paths.
MediaView PrepareEngine(CheckOptions& options, Judged* judged);

// Loads the applications as the selection dialog does, [Priority] first,
// and with /smbios offers them by their MODEL on that model; false when
// loading stops, with `error` saying where.
bool LoadJudgedOffer(Judged& judged, AppRecord& defaultInstall, AppRecord& cancelInstall,
                     LoadError* error);

// Puts the folders, drive letters and rights of `system` into `machine`.
void ApplySystem(const DescribedSystem& system, Machine& machine);

// Checks the media of the prepared engine; the findings go to `report`.
void CheckInstallationMedia(const CheckOptions& options, const MediaView& view, Judged& judged,
                            Report& report);

// A path of the engine as it stands on the disc.
std::string DiscPath(const MediaView& view, const std::string& path);
