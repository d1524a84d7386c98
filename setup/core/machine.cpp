// The machine a run installs on.
#include "setup/core/machine.h"

MacroValues MacroValuesOf(const Machine& machine)
{
    return MacroValues{machine.windowsDir,    machine.systemDir,     machine.programFilesDir,
                       machine.cdromLetter,   machine.windowsLetter, machine.bootLetter,
                       machine.fdLetter};
}
