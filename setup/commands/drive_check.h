// The disc check before commands that use %CDROM% or %FD%: the CD-ROM
// drive is settled and the disc's probe file is looked for, both by the
// run's attendant, which takes one of the halves below: a person's (a
// dialog and a prompt) or an answer file's.
#pragma once

#include <windows.h>

#include "setup/core/attendant.h"
#include "setup/core/records.h"

// True when the command may run; false when the run ends (after the
// message that the check showed, if any).
bool CheckMedia(CommandRecord* cmd);

// The CD-ROM drive, asked of a person in a dialog; false when the person
// cancelled (the message is shown).
bool AskCdromDrive(CommandRecord* cmd);

// The CD-ROM drive of an unattended run: its CdromDrive answer, or with
// AUTO the first CD-ROM drive that holds the disc within DiscWait; without
// it, the run ends with the prompt that would have asked for the disc. A
// value that can't be split ends the run as the check itself would.
bool AnswerCdromDrive(CommandRecord* cmd);

// A person is prompted with the check's box until the probe file is there,
// or the person ends the run or lets the command run without it.
DiscAnswer PromptForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style);

// An unattended run looks for the disc for DiscWait as a whole; what it
// found it takes, even if the disc went again at once. Without it the run
// ends with the prompt that would have asked for the disc.
DiscAnswer AwaitCheckedDisc(CommandRecord* cmd, const DiscProbe& probe);
