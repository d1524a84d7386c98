// The DMI reader driver as a kernel-driver service of the NT family, alive
// only for the length of one read cycle.
#pragma once

#include <string>

// Registers and starts the service "Biospeek" from Biospeek.sys beside the
// program; false (and nothing left registered by this call) on failure.
bool InstallDriverService();

// Stops and deletes the service, also one that is registered but not
// running; false when a running service can't be stopped (it then stays
// registered) or the service can't be deleted.
bool RemoveDriverService();

// The running program's folder joined with `name` (double-byte aware), or
// `name` alone when the program's path can't be had.
std::string PathBesideProgram(const char* name);
