// The reference for media authors lists the exit codes and the answer keys
// as the core's tables have them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qvcheck/rules.h"
#include "setup/core/answer_file.h"
#include "setup/core/command_table.h"
#include "setup/core/run_end.h"

namespace {

// The cells of each row of the first table after `heading` in the
// reference, header and rule left out, each cell trimmed.
std::vector<std::vector<std::string>> TableAfter(const std::string& heading)
{
    std::ifstream file(QV_DOCS "/scripting.md");
    std::string line;
    while (std::getline(file, line) && line != heading) {
    }
    std::vector<std::vector<std::string>> rows;
    bool inTable = false;
    while (std::getline(file, line)) {
        if (line.rfind("|", 0) != 0) {
            if (inTable)
                break;
            continue;
        }
        inTable = true;
        std::vector<std::string> cells;
        std::stringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');) {
            const size_t begin = cell.find_first_not_of(' ');
            const size_t end = cell.find_last_not_of(' ');
            cells.push_back(begin == std::string::npos ? "" : cell.substr(begin, end - begin + 1));
        }
        rows.push_back(cells);
    }
    // The header and the rule under it.
    rows.erase(rows.begin(), rows.begin() + std::min<size_t>(2, rows.size()));
    return rows;
}

TEST(ReferenceTables, ExitCodesAreTheCoresTable)
{
    std::vector<std::string> listed, core;
    for (const auto& row : TableAfter("### 12.4 Exit codes and the result file"))
        listed.push_back(row.at(0) + " " + row.at(1));
    for (const RunEndFact& fact : RunEndFacts)
        core.push_back(std::to_string(fact.end) + " " + fact.meaning);
    EXPECT_EQ(listed, core);
}

TEST(ReferenceTables, AnswerKeysAreTheCoresTable)
{
    std::vector<std::string> listed, core;
    for (const auto& row : TableAfter("### 12.2 The answer file"))
        listed.push_back(row.at(0) + " " + (row.at(2).rfind("`", 0) == 0 ? row.at(2) : ""));
    size_t count = 0;
    const AnswerKey* keys = AnswerKeys(&count);
    for (size_t i = 0; i < count; ++i) {
        const std::string fallback = keys[i].fallback;
        core.push_back("`" + std::string(keys[i].name) + "` " +
                       (fallback.empty() ? "" : "`" + fallback + "`"));
    }
    EXPECT_EQ(listed, core);
}

TEST(ReferenceTables, TheCommandsAreTheCoresTable)
{
    std::vector<std::string> listed, core;
    for (const auto& row : TableAfter("### 6.1 Summary"))
        listed.push_back(row.at(0));
    for (const CommandFacts& command : Commands)
        core.push_back("`" + std::string(command.name) + "`");
    EXPECT_EQ(listed, core);
}

TEST(ReferenceTables, EveryRuleIdOfTheCheckerIsListed)
{
    std::vector<std::string> listed, ids;
    for (const auto& row : TableAfter("### 10.1 The report"))
        listed.push_back(row.at(0));
    for (const Rule& rule : Rules)
        ids.push_back("`" + std::string(rule.id) + "`");
    EXPECT_EQ(listed, ids);
}

} // namespace
