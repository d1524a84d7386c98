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

// Reads a whole master INF section into `lines` (MasterSectionCapacity
// bytes); an empty section gives `fallback` as its one line.
void ReadMasterSection(const char* section, char* lines, const char* fallback);

// [ExcludeForegroundWindow] captions into excludeList, each line whole. A
// node that can't be allocated ends the list silently.
void LoadExcludeList(const char* lines);
void FreeExcludeList();

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
// matches in the source folder in directory order, every file once (paths
// compared case-insensitively). A line whose path would not fit is passed
// over; no memory for the walk ends that line silently. False when the
// visitor stopped the walk.
bool WalkPriorityFiles(const char* patterns, PriorityVisitor& visitor);

// Loads every application INF that the [Priority] lines find into appList;
// false, with `*error`, when one fails to load.
bool CollectApplications(const char* patterns, LoadError* error);

// Reads a pseudo-application from `section` of the master INF: it takes
// part in the run only when the section has commands. False with `*error`.
bool LoadPseudoApp(AppRecord& pseudo, const char* section, LoadError* error);

// Loads what the selection dialog offers, in the engine's order: the two
// pseudo-applications, then every application INF that the [Priority]
// lines `patterns` find into appList (emptied first). False, with
// `*error`, at the first that fails to load.
bool LoadOffer(AppRecord& defaultInstall, AppRecord& cancelInstall, const char* patterns,
               LoadError* error);

// Puts a copy of the pseudo-application at the head of appList; the list
// then owns its commands. False when no copy could be made.
bool PushPseudoApp(AppRecord& pseudo);
