// The plan of a run: the commands in the order qvsetup runs them for the
// chosen applications, their fields expanded for the described system, with
// the drive checks before them; and what runs on Cancel.
#pragma once

#include <string>

#include "qvcheck/options.h"

// The plan of the prepared engine's media, as text; when loading stops on
// an error, a line that says so instead.
std::string PlanRun(const CheckOptions& options);

// One command of a plan as the plan writes it: KEYWORD "param1" "param2",
// a double quote inside a field written as \".
std::string PlanCommand(const char* keyword, const char* param1, const char* param2);
