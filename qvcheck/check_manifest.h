// A disc's manifest (QVDISC.SUM, which make-disc writes) checked against
// the folder that holds it: every file that differs from it, is missing or
// is not in it is a warning. A folder without a manifest is not checked.
#pragma once

#include <string>
#include <vector>

#include "qvcheck/report.h"

void CheckDiscManifests(const std::vector<std::string>& folders, Report& report);
