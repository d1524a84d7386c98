// What qvcheck found, and how it says so.
#include "qvcheck/report.h"

#include <algorithm>

#include "setup/core/inf_line.h"

namespace {

constexpr size_t MostEdits = 2;

// Edits (insertions, deletions, replacements) from one word to the other.
size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const size_t replace = diagonal + (FoldAscii(a[i - 1]) == FoldAscii(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, replace});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string WithVisibleLineFeeds(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

} // namespace

void Report::Add(const std::string& path, int line, int column, Severity severity,
                 const say::Said& said, const std::string& quote)
{
    findings_.push_back(Finding{path, line, line > 0 ? column : 0, severity, said.rule, said.text, quote});
    if (severity == Severity::Error)
        ++errors_;
    else
        ++warnings_;
}

CheckExit Report::Exit() const
{
    if (errors_ > 0)
        return ExitErrors;
    return warnings_ > 0 ? ExitWarnings : ExitClean;
}

std::string FormatFinding(const Finding& finding)
{
    std::string line = finding.path;
    if (finding.line > 0)
        line += ":" + std::to_string(finding.line) + ":" + std::to_string(finding.column);
    line += finding.severity == Severity::Error ? ": error: " : ": warning: ";
    line += finding.text;
    if (!finding.quote.empty())
        line += " (qvsetup: \"" + WithVisibleLineFeeds(finding.quote) + "\")";
    return line;
}

std::string NearestWord(const std::string& word, const std::vector<std::string>& words)
{
    std::string nearest;
    size_t best = MostEdits + 1;
    for (const std::string& candidate : words) {
        const size_t distance = EditDistance(word, candidate);
        if (distance < best) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}
