// The start of qvsetup when a journal of an interrupted run is found.
#pragma once

#include "setup/core/resume.h"

// What this start of qvsetup does about a journal.
enum class JournalStart {
    Fresh,      // no journal, or it was given up: a run as always
    Resumed,    // the run goes on where the journal stood
    Ends,       // this start ends (another medium's run waits, or its disc is not there)
};

// Settles the journal of an interrupted run that FindJournal `found`. A
// journal of other media is named: a person may give that run up and start
// this one, an answer file with Resume=NO; kept, it ends this start. One of
// this medium goes on when Windows started qvsetup for it (`byRunOnce`);
// a person who started qvsetup is asked, an answer file says it with
// Resume; not going on gives the journal up. Before it goes on, the
// medium's disc must be there (asked for, or waited for DiscWait: without
// it an unattended start ends and registers the run again). With Ends,
// `*exitCode` is this start's code.
JournalStart SettleJournal(JournalFound found, bool byRunOnce, int* exitCode);
