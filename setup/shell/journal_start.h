// The start of qvsetup when a journal of an interrupted run is found.
#pragma once

#include "setup/core/resume.h"

// What this start of qvsetup does about a journal.
enum class JournalStart {
    Fresh,      // no journal, or it was given up: a run as always
    Resumed,    // the run goes on where the journal stood
    Ends,       // this start ends (another medium's run waits, or its disc is not there)
};

// Settles the journal of an interrupted run that FindJournal `found`. A journal of
// another medium ends this start as a second qvsetup would end. One of this
// medium goes on, unless a person who started qvsetup says no to going on
// (or the answers say Resume=NO), which gives it up; before it goes on, the
// medium's disc must be there (asked for, or waited for DiscWait). With
// Ends, `*exitCode` is this start's code.
JournalStart SettleJournal(JournalFound found, int* exitCode);
