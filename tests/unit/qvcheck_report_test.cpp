// qvcheck's report lines and its nearest-word hints.
#include <gtest/gtest.h>

#include "qvcheck/report.h"

namespace {

TEST(QvcheckReport, LinesExitCodesAndHints)
{
    Report report;
    EXPECT_EQ(report.Exit(), ExitClean);
    report.Add("D:\\QVA.INF", 12, 3, Severity::Warning, say::Said{RuleId::UnknownKey, "w"});
    EXPECT_EQ(report.Exit(), ExitWarnings);
    report.Add("D:\\QVA.INF", 0, 1, Severity::Error, say::Said{RuleId::MasterUnreadable, "e"},
               "ﾒﾓﾘ\nD:\\QVA.INF");
    EXPECT_EQ(report.Exit(), ExitErrors);
    // A line's finding has its column; one about the whole file has neither.
    EXPECT_EQ(FormatFinding(report.findings()[0]), "D:\\QVA.INF:12:3: warning: w");
    EXPECT_EQ(FormatFinding(report.findings()[1]),
              "D:\\QVA.INF: error: e (qvsetup: \"ﾒﾓﾘ\\nD:\\QVA.INF\")");
    EXPECT_EQ(NearestWord("COPPY", {"PROG", "COPY", "XCOPY"}), "COPY");
    EXPECT_EQ(NearestWord("backgrund", {"BACKGROUND", "BITMAP"}), "BACKGROUND");
    EXPECT_EQ(NearestWord("ZZZZZZ", {"PROG", "COPY"}), "");
}

} // namespace
