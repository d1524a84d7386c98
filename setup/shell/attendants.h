// The three attendants of a run: a person at the screen, the answer file
// of an unattended run, and the journal of a run that goes on after a
// restart, which makes the choice again and leaves the rest to whoever
// attends the run.
#pragma once

#include "setup/core/attendant.h"

Attendant& PersonAttendant();
Attendant& AnswerFileAttendant();
// The journal's replay, which leaves to `rest` all but the choice and
// where the run starts.
Attendant& JournalAttendant(Attendant& rest);
