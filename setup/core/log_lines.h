// The lines of the setup log that tools read, as printf formats in one
// place (log_lines.def): the engine writes them with these formats, and
// the Linux tools (try-media) follow a run by them. No platform calls.
#pragma once

#include <cstddef>

// Every line starts with the local time: "YYYY-MM-DD hh:mm:ss.mmm ".
constexpr size_t LogTimeStampLength = 24;

#define LOG_LINE(name, format) constexpr char name[] = format;
#include "setup/core/log_lines.def"
#undef LOG_LINE
