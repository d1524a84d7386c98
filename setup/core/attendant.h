// Who answers where a run would ask a person. The person at the screen
// answers by boxes and dialogs; an answer file answers an unattended run
// unseen; a run that goes on after a restart takes its choice from its
// journal and asks whoever attends it the rest. The run course holds the
// run's attendant (RunAttendant); the shell asks it at start-up and hands
// it to the selection dialog and to each command, and none of them looks
// at the run's mode.
#pragma once

#include <windows.h>

#include "setup/core/inf_line.h"
#include "setup/core/machine.h"
#include "setup/core/media.h"
#include "setup/core/model_offer.h"
#include "setup/core/records.h"

// How the wait for a drive check's disc ended.
enum class DiscAnswer {
    Found,              // the probe file is there
    RunWithoutCheck,    // the command runs without it (Ignore)
    EndRun,             // the run ends (its box, or its end, told already)
};

class Attendant {
public:
    // Whether the interrupted run of these media goes on, a person being
    // asked `question`.
    virtual bool WantsInterruptedRun(const char* question) = 0;
    // Whether the interrupted run of other media is given up so that this
    // one starts, a person being asked `question`.
    virtual bool GivesUpOtherRun(const char* question) = 0;
    // Waits until `present` answers true (the disc of the interrupted run):
    // false when it does not come.
    virtual bool WaitsForRunDisc(bool (*present)()) = 0;
    // Whether an interrupted run whose disc did not come is kept for a
    // later start, rather than given up.
    virtual bool KeepsRunWithoutDisc() const = 0;

    // The CD-ROM drive of `machine`, when none is known: false when none is
    // taken (the run ends, told already).
    virtual bool TakesCdromDrive(CommandRecord* cmd, Machine& machine) = 0;
    // Until the probe file of the drive check of `cmd` is there.
    virtual DiscAnswer WaitsForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style) = 0;

    // Whether a person sees the selection dialog; if not, the choice is
    // made by ChoosesUnseen, the dialog's Install or Cancel pressed.
    virtual bool SeesSelection() const = 0;
    virtual void ChoosesUnseen(HWND dialog) = 0;
    // The choice an earlier start of the run made, which the offer by model
    // keeps whatever the model reads now; null when the choice is made now.
    virtual EarlierChoice ChoiceMadeBefore() const = 0;

    // Where the run of `media` starts once the choice is made: the
    // application (null: nothing to run) and the command of it. False when
    // the run ends before it starts.
    virtual bool FindsStart(Media& media, AppRecord** app, int32_t* from) = 0;

protected:
    // Attendants live as long as the program, and are never deleted
    // through this interface: nothing runs at their end.
    ~Attendant() = default;
};
