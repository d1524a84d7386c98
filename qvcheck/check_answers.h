// The check of an answer file for unattended runs against the media.
#pragma once

#include <string>
#include <vector>

#include "qvcheck/checker.h"
#include "qvcheck/options.h"
#include "qvcheck/report.h"
#include "setup/core/answer_file.h"

// Judges every key and value of the answer file's [Unattended] with the
// engine's own rules, and each name that Select lists against the
// applications the judged media offer; the findings go to
// `report`. `answers` gets what the engine would take (defaults where a
// key is refused). True when the engine takes the file: no error in it.
bool CheckAnswerFile(Judged& judged, const std::string& path, Report& report, Answers* answers);

// Each name that /select lists against the applications the judged media
// offer; a name they do not offer is an error about the
// media folder.
void CheckSelectOption(Judged& judged, const CheckOptions& options, Report& report);

// Whether `names` hold `name`, compared as Select's names are: ASCII
// letters folded.
bool NamesHold(const std::vector<std::string>& names, const std::string& name);
