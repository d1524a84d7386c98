// The plan of a run: the commands in the order qvsetup runs them for the
// chosen applications, their fields expanded for the described system, with
// the drive checks before them; and what runs on Cancel.
#pragma once

#include <string>

#include "qvcheck/checker.h"
#include "qvcheck/options.h"
#include "setup/core/answer_file.h"

// The plan of the judged media on the judged machine, as text; when loading stops on
// an error, a line that says so instead. With `answers`, the run is an
// unattended one: their selection, and where such a run waits or ends.
std::string PlanRun(const CheckOptions& options, const MediaView& view, Judged& judged,
                    const Answers* answers = nullptr);

// The plan of an unattended run whose answer file qvsetup refuses: it ends
// at once, and nothing runs.
std::string PlanRefusedAnswers(const CheckOptions& options);
