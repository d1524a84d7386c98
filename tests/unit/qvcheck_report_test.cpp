// qvcheck's report lines and its nearest-word hints.
#include <gtest/gtest.h>

#include "qvcheck/report.h"

namespace {

TEST(QvcheckReport, LinesExitCodesAndHints)
{
    Report report;
    EXPECT_EQ(report.Exit(), ExitClean);
    report.Add("D:\\QVA.INF", 12, Severity::Warning, "w");
    EXPECT_EQ(report.Exit(), ExitWarnings);
    report.Add("D:\\QVA.INF", 0, Severity::Error, "e", "ﾒﾓﾘ\nD:\\QVA.INF");
    EXPECT_EQ(report.Exit(), ExitErrors);
    EXPECT_EQ(FormatFinding(report.findings()[0]), "D:\\QVA.INF:12: warning: w");
    EXPECT_EQ(FormatFinding(report.findings()[1]),
              "D:\\QVA.INF: error: e (qvsetup: \"ﾒﾓﾘ\\nD:\\QVA.INF\")");
    EXPECT_EQ(NearestWord("COPPY", {"PROG", "COPY", "XCOPY"}), "COPY");
    EXPECT_EQ(NearestWord("backgrund", {"BACKGROUND", "BITMAP"}), "BACKGROUND");
    EXPECT_EQ(NearestWord("ZZZZZZ", {"PROG", "COPY"}), "");
}

} // namespace
