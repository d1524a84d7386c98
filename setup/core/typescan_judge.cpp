// The offer by model on the PC that runs: typescan of the media asked.
#include "setup/core/typescan_judge.h"

#include <windows.h>

#include <cstdio>

#include "common/owners.h"
#include "setup/core/paths.h"
#include "setup/core/run_course.h"
#include "setup/core/setup_log.h"
#include "typescan/exit_codes.h"

TypescanJudge::Ran TypescanJudge::Run(const char* arguments, unsigned long* exitCode)
{
    char program[PathCapacity];
    char commandLine[PathCapacity * 2 + 32];
    if (!JoinPath(program, sizeof program, sourceDir_, "TYPESCAN.EXE"))
        return Ran::NotStarted;
    const int written = snprintf(commandLine, sizeof commandLine, "\"%s\" %s %s", program,
                                 FailureCodesSwitch, arguments);
    if (written < 0 || written >= static_cast<int>(sizeof commandLine))
        return Ran::NotStarted;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, ProgramErrorMode(), nullptr,
                        sourceDir_, &startup, &process)) {
        LogEvent("MODEL: %s could not be started (error %lu)", program,
                 static_cast<unsigned long>(GetLastError()));
        return Ran::NotStarted;
    }
    const KernelHandle thread(process.hThread);
    const KernelHandle running(process.hProcess);
    DWORD code = 0;
    if (WaitForSingleObject(running.get(), TypescanWaitMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(running.get(), &code)) {
        // The driver service it may leave is removed by the next typescan.
        TerminateProcess(running.get(), 0);
        LogEvent("MODEL: typescan did not end within %lu s", TypescanWaitMs / 1000);
        return Ran::Stopped;
    }
    *exitCode = code;
    return Ran::Ended;
}

ModelAnswer TypescanJudge::Judge(const char* condition)
{
    unsigned long code = 0;
    if (!probed_) {
        probed_ = true;
        const Ran probe = Run("", &code);
        usable_ = probe == Ran::Ended && code == TypescanWrongUsage;
        if (probe == Ran::Ended && !usable_)
            LogEvent("MODEL: TYPESCAN.EXE ended with %lu where one that knows %s ends "
                     "with %d: it is not asked", code, FailureCodesSwitch, TypescanWrongUsage);
    }
    if (!usable_)
        return ModelAnswer::Unread;
    const Ran ran = Run(condition, &code);
    if (ran != Ran::Ended) {
        usable_ = false;
        return ModelAnswer::Unread;
    }
    LogEvent("MODEL: typescan %s ended with %lu", condition, code);
    if (code == TypescanMatch)
        return ModelAnswer::Matches;
    return code == TypescanNoMatch ? ModelAnswer::OtherModel : ModelAnswer::Unread;
}

void OfferByModelOnThisPc(Media& media, EarlierChoice chosenBefore)
{
    TypescanJudge judge(media.sourceDir);
    for (const JudgedCondition& c : OfferByModel(media, judge, chosenBefore))
        LogEvent("MODEL \"%s\": %s", c.condition.c_str(), ModelAnswerName(c.answer));
    for (const AppRecord* app = media.notOffered.head; app; app = app->next)
        LogEvent("not offered on this model: \"%s\" (%s), MODEL \"%s\"", app->title, app->infPath, app->model);
    for (const AppRecord* app = media.apps.head; app; app = app->next) {
        if (app->modelUnread)
            LogEvent("offered unchosen, the model could not be read: \"%s\" (%s)", app->title, app->infPath);
    }
}
