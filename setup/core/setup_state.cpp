// The one SetupState of the process.
#include "setup/core/setup_state.h"

SetupState g_setup;

MacroValues MacroValuesOf(const SetupState& state)
{
    return MacroValues{state.windowsDir,    state.systemDir,     state.programFilesDir,
                       state.cdromLetter,   state.windowsLetter, state.bootLetter,
                       state.fdLetter};
}
