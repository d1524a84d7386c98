// The disc check before commands that use %CDROM% or %FD%: the CD-ROM
// drive is settled (asking the user when none is known) and the disc's
// probe file is looked for, prompting until it is there.
#pragma once

#include "setup/engine/records.h"

// 1 when the command may run; 0 when the run ends (after the message that
// the check showed, if any).
int CheckMedia(CommandRecord* cmd);
