// Applications offered by model.
#include "setup/core/model_offer.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/owners.h"
#include "setup/core/dbcs.h"
#include "setup/core/messages.h"
#include "setup/core/paths.h"
#include "setup/core/run_course.h"

#include "setup/core/setup_log.h"

namespace {

// Notes on the description that the model could not be read. A long
// description gives way, cut at a character, so that the note always shows.
void NoteModelUnread(AppRecord& app)
{
    const size_t note = strlen(MsgModelUnread) - 2;   // without its %s
    const size_t room = sizeof app.description - 1 - note;
    const char* text = app.description;
    size_t keep = 0;
    for (size_t i = 0; text[i] != '\0';) {
        const bool pair = IsLeadByte932(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0';
        i += pair ? 2 : 1;
        if (i > room)
            break;
        keep = i;
    }
    app.description[keep] = '\0';
    char noted[DescriptionCapacity];
    snprintf(noted, sizeof noted, MsgModelUnread, app.description);
    memcpy(app.description, noted, sizeof noted);
}

const char* AnswerName(ModelAnswer answer)
{
    switch (answer) {
    case ModelAnswer::Matches:
        return "this model matches";
    case ModelAnswer::OtherModel:
        return "another model";
    case ModelAnswer::Unread:
        break;
    }
    return "the model could not be read";
}

// One condition and its answer.
struct JudgedCondition {
    const char* condition;
    ModelAnswer answer;
};

} // namespace

TypescanJudge::Ran TypescanJudge::Run(const char* arguments, unsigned long* exitCode)
{
    char program[PathCapacity];
    char commandLine[PathCapacity * 2 + 32];
    if (!JoinPath(program, sizeof program, sourceDir_, "TYPESCAN.EXE"))
        return Ran::NotStarted;
    const int written = snprintf(commandLine, sizeof commandLine, "\"%s\" /FAILCODES %s", program,
                                 arguments);
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
        usable_ = probe == Ran::Ended && code == 3;
        if (probe == Ran::Ended && !usable_)
            LogEvent("MODEL: TYPESCAN.EXE ended with %lu where one that knows /FAILCODES ends "
                     "with 3: it is not asked", code);
    }
    if (!usable_)
        return ModelAnswer::Unread;
    const Ran ran = Run(condition, &code);
    if (ran != Ran::Ended) {
        usable_ = false;
        return ModelAnswer::Unread;
    }
    LogEvent("MODEL: typescan %s ended with %lu", condition, code);
    return code == 1 ? ModelAnswer::Matches : code == 0 ? ModelAnswer::OtherModel : ModelAnswer::Unread;
}

void OfferByModel(Media& media, ModelJudge& judge)
{
    std::vector<JudgedCondition> judged;
    NodeList<AppRecord> kept = {};
    while (AppRecord* app = PopFront(media.apps)) {
        if (app->model[0] == '\0') {
            Append(kept, app);
            continue;
        }
        ModelAnswer answer = ModelAnswer::Unread;
        const auto earlier = std::find_if(judged.begin(), judged.end(), [app](const JudgedCondition& c) {
            return strcmp(c.condition, app->model) == 0;
        });
        if (earlier != judged.end()) {
            answer = earlier->answer;
        } else {
            answer = judge.Judge(app->model);
            judged.push_back(JudgedCondition{app->model, answer});
            LogEvent("MODEL \"%s\": %s", app->model, AnswerName(answer));
        }
        switch (answer) {
        case ModelAnswer::Matches:
            Append(kept, app);
            break;
        case ModelAnswer::OtherModel:
            LogEvent("not offered on this model: \"%s\" (%s), MODEL \"%s\"", app->title,
                     app->infPath, app->model);
            Append(media.notOffered, app);
            break;
        case ModelAnswer::Unread:
            LogEvent("offered unchosen, the model could not be read: \"%s\" (%s)", app->title,
                     app->infPath);
            app->modelUnread = 1;
            app->selected = 0;
            NoteModelUnread(*app);
            Append(kept, app);
            break;
        }
    }
    media.apps = kept;
}
