// qvcheck: checks the INF scripts of installation media with the setup
// engine's own loading code, and prints the plan of a run.
#include <cstdio>

#include "qvcheck/checker.h"
#include "qvcheck/options.h"
#include "qvcheck/plan.h"
#include "qvcheck/report.h"

int main(int argc, char** argv)
{
    const CheckOptions options = ParseCheckOptions(argc, argv);
    if (options.help) {
        printf("%s", CheckUsageText());
        return ExitClean;
    }
    if (!options.usageError.empty()) {
        printf("qvcheck: %s\n\n%s", options.usageError.c_str(), CheckUsageText());
        return ExitUsage;
    }
    PrepareEngine(options);
    Report report;
    CheckInstallationMedia(options, report);
    for (const Finding& finding : report.findings())
        printf("%s\n", FormatFinding(finding).c_str());
    printf("%d error(s), %d warning(s)\n", report.errors(), report.warnings());
    if (options.plan)
        printf("\n%s", PlanRun(options).c_str());
    return report.Exit();
}
