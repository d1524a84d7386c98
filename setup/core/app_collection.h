// What the selection dialog offers, gathered without a window: the master
// INF's list sections, the application INFs that [Priority] finds, in order,
// and the two pseudo-applications [DefaultInstall] and [CancelInstall].
#pragma once

#include <cstddef>

#include "setup/core/inf_parser.h"
#include "setup/core/records.h"

// Bytes of a [Priority] or [ExcludeForegroundWindow] section read at most.
constexpr size_t MasterSectionCapacity = 10240;
constexpr char DefaultPattern[] = "QV*.INF";

// Reads a whole section of the media's master INF into `lines` (MasterSectionCapacity
// bytes); an empty section gives `fallback` as its one line.
void ReadMasterSection(const Media& media, const char* section, char* lines, const char* fallback);

// [ExcludeForegroundWindow] captions into the media's excluded list, each
// line whole. A
// node that can't be allocated ends the list silently.
void LoadExcludeList(Media& media, const char* lines);
void FreeExcludeList(Media& media);

// Told of every file that the [Priority] lines find, in order.
class PriorityVisitor {
public:
    virtual ~PriorityVisitor() = default;
    // The first time a line finds `path` (lineIndex: the line's place among
    // the section's lines, from 0); false stops the walk.
    virtual bool Visit(const char* path, int lineIndex) = 0;
    // The line found no file at all.
    virtual void FoundNothing(const char* line, int lineIndex) { (void)line, (void)lineIndex; }
};

// Walks the [Priority] lines (comments skipped) in order and each line's
// matches in `folder` (the media's source folder) in directory order, every file once (paths
// compared case-insensitively). A line whose path would not fit is passed
// over; no memory for the walk ends that line silently. False when the
// visitor stopped the walk.
bool WalkPriorityFiles(const char* folder, const char* patterns, PriorityVisitor& visitor);

// Loads every application INF that the [Priority] lines find into the
// applications of `media`, for `machine`;
// false, with `*error`, when one fails to load.
bool CollectApplications(const Machine& machine, Media& media, const char* patterns,
                         LoadError* error);

// Reads a pseudo-application from `section` of the master INF: it takes
// part in the run only when the section has commands. False with `*error`.
bool LoadPseudoApp(const Machine& machine, const Media& media, AppRecord& pseudo,
                   const char* section, LoadError* error);

// Loads what the selection dialog offers, in the engine's order: the two
// pseudo-applications, then every application INF that the [Priority]
// lines `patterns` find into the applications of `media` (emptied first). False, with
// `*error`, at the first that fails to load.
bool LoadOffer(const Machine& machine, Media& media, AppRecord& defaultInstall,
               AppRecord& cancelInstall, const char* patterns, LoadError* error);

// Puts a copy of the pseudo-application at the head of the applications of
// `media`; the list
// then owns its commands. False when no copy could be made.
bool PushPseudoApp(Media& media, AppRecord& pseudo);
