// The disc check before commands that use %CDROM% or %FD%: the CD-ROM
// drive is settled and the disc's probe file is looked for, both by the
// run's attendant, which takes one of the halves below: a person's (a
// dialog and a prompt) or an answer file's.
#pragma once

#include <windows.h>

#include "setup/commands/command_scene.h"
#include "setup/core/attendant.h"
#include "setup/core/machine.h"
#include "setup/core/records.h"

// True when the command may run; false when the run ends (after the
// message that the check showed, if any). A check of the CD-ROM drive
// settles the drive of the scene's machine when none is known yet.
bool CheckMedia(CommandRecord* cmd, const CommandScene& scene);

// The CD-ROM drive of `machine`, asked of a person in a dialog; false when
// the person cancelled (the message is shown).
bool AskCdromDrive(CommandRecord* cmd, Machine& machine);

// The CD-ROM drive of an unattended run: its CdromDrive answer, or with
// AUTO the first CD-ROM drive that holds the disc within DiscWait; without
// it, the run ends with the prompt that would have asked for the disc. A
// value that can't be split ends the run as the check itself would.
bool AnswerCdromDrive(CommandRecord* cmd, Machine& machine);

// A person is prompted with the check's box until the probe file is there,
// or the person ends the run or lets the command run without it.
DiscAnswer PromptForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style);

// An unattended run looks for the disc for DiscWait as a whole; what it
// found it takes, even if the disc went again at once. Without it the run
// ends with the prompt that would have asked for the disc.
DiscAnswer AwaitCheckedDisc(CommandRecord* cmd, const DiscProbe& probe);
