// The disc check before commands that use %CDROM% or %FD%: the CD-ROM
// drive is settled (asking the user when none is known) and the disc's
// probe file is looked for, prompting until it is there.
#pragma once

#include "setup/core/records.h"

// True when the command may run; false when the run ends (after the
// message that the check showed, if any).
bool CheckMedia(CommandRecord* cmd);
