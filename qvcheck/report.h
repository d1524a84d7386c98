// What qvcheck found, and how it says so: one line per finding in the form
// compilers use, PATH:LINE:COLUMN: error|warning: TEXT, which editors and
// build logs understand. No platform calls.
#pragma once

#include <string>
#include <vector>

#include "qvcheck/wording.h"

enum class Severity { Warning, Error };

struct Finding {
    std::string path;
    int line;               // from 1; 0 when the finding concerns the whole file
    int column;             // in characters of the line, from 1; 0 with line 0
    Severity severity;
    RuleId rule;
    std::string text;
    std::string quote;      // the runtime's own message when qvsetup shows a box; else empty
};

// The exit codes, as the usage text lists them.
enum CheckExit : int {
    ExitClean = 0,
    ExitWarnings = 1,
    ExitErrors = 2,
    ExitUsage = 3,
    ExitCheckerFailed = 4,  // qvcheck itself failed: out of memory, or an internal fault
};

class Report {
public:
    void Add(const std::string& path, int line, int column, Severity severity, const say::Said& said,
             const std::string& quote = std::string());

    const std::vector<Finding>& findings() const { return findings_; }
    int errors() const { return errors_; }
    int warnings() const { return warnings_; }
    CheckExit Exit() const;

private:
    std::vector<Finding> findings_;
    int errors_ = 0;
    int warnings_ = 0;
};

// One finding as a line (without its line end): the box text of the quote
// has its line feeds written as \n.
std::string FormatFinding(const Finding& finding);

// The word of `words` nearest to `word` (ASCII letters compared without
// case), or empty when none is within two edits.
std::string NearestWord(const std::string& word, const std::vector<std::string>& words);
