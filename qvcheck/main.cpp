// qvcheck: checks the INF scripts of installation media with the setup
// engine's own loading code, and prints the plan of a run.
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "qvcheck/check_answers.h"
#include "qvcheck/check_manifest.h"
#include "qvcheck/checker.h"
#include "qvcheck/model_table.h"
#include "qvcheck/options.h"
#include "qvcheck/plan.h"
#include "qvcheck/report.h"
#include "qvcheck/sarif.h"

namespace {

// Ends qvcheck when it can't go on itself, with its own exit code and a
// line that says so: a check that ran out of memory is no verdict on the
// medium, and must not read as wrong usage (the exit code of abort).
[[noreturn]] void EndCheckerFailed(const char* why)
{
    fflush(stdout);
    printf("\nqvcheck: %s: the check could not be finished (exit code %d)\n", why,
           ExitCheckerFailed);
    fflush(stdout);
    _exit(ExitCheckerFailed);
}

void OnOutOfMemory()
{
    EndCheckerFailed("out of memory");
}

void OnAbort(int)
{
    EndCheckerFailed("an internal fault ended the check");
}

LONG WINAPI OnUnhandledFault(EXCEPTION_POINTERS*)
{
    EndCheckerFailed("an internal fault ended the check");
}

void CatchCheckerFailures()
{
    std::set_new_handler(OnOutOfMemory);
    signal(SIGABRT, OnAbort);
    SetUnhandledExceptionFilter(OnUnhandledFault);
}

} // namespace

int main(int argc, char** argv)
{
    CatchCheckerFailures();
    CheckOptions options = ParseCheckOptions(argc, argv);
    if (options.help) {
        printf("%s", CheckUsageText());
        return ExitClean;
    }
    if (!options.usageError.empty()) {
        printf("qvcheck: %s\n\n%s", options.usageError.c_str(), CheckUsageText());
        return ExitUsage;
    }
    Judged judged;
    const MediaView view = PrepareEngine(options, &judged);
    DumpModelJudge dumpModel;
    if (!options.smbiosDump.empty()) {
        std::string why;
        if (!dumpModel.Load(options.smbiosDump, &why)) {
            printf("qvcheck: /smbios: %s\n\n%s", why.c_str(), CheckUsageText());
            return ExitUsage;
        }
        dumpModel.SeeMediaFolder(judged.media.sourceDir, options.system);
        judged.models = &dumpModel;
        // Every PC reads the media's own table where they hold one: that is the model.
        judged.modelName = dumpModel.ReadsMediaTable() ? "the media's Biospeek.dat"
                                                       : InfFileName(options.smbiosDump.c_str());
    }
    Report report;
    CheckInstallationMedia(options, view, judged, report);
    CheckDiscManifests(options.folders, report);
    CheckSelectOption(judged, options, report);
    Answers answers;
    const bool answersGiven = !options.answersFile.empty();
    const bool answersTaken = answersGiven && CheckAnswerFile(judged, options.answersFile, report, &answers);
    if (options.sarif) {
        printf("%s", FormatSarif(report).c_str());
        return report.Exit();
    }
    for (const Finding& finding : report.findings())
        printf("%s\n", FormatFinding(finding).c_str());
    printf("%d error(s), %d warning(s)\n", report.errors(), report.warnings());
    if (options.plan && answersGiven && !answersTaken)
        printf("\n%s", PlanRefusedAnswers(options).c_str());
    else if (options.plan)
        printf("\n%s", PlanRun(options, view, judged, answersGiven ? &answers : nullptr).c_str());
    return report.Exit();
}
