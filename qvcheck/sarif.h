// The findings as a SARIF 2.1.0 log, which code-scanning services and
// editors read: one result per finding with its rule id, level, message
// and place (line, and column in characters).
#pragma once

#include <string>

#include "qvcheck/report.h"

// The log as JSON text in ASCII: every other character written as a \u
// escape, paths as file URIs (UTF-8, percent-encoded).
std::string FormatSarif(const Report& report);
