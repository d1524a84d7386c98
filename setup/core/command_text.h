// Number fields of command lines and the shutdown flag arithmetic.
#pragma once

#include <cstdint>

// Reads a decimal integer as "%d" does: leading white space, an optional
// sign, digits up to the first other byte. False when there is no digit;
// values beyond 32 bits are clamped.
bool ReadDecimal(const char* text, int32_t* value);

// ExitWindowsEx flags of a SHUTDOWN mode: restart when mode & 7 is set,
// otherwise shut down and power off; forced when mode & 8 is set.
uint32_t ShutdownFlags(int32_t mode);
