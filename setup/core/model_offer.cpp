// Applications offered by model.
#include "setup/core/model_offer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "setup/core/answer_file.h"
#include "setup/core/dbcs.h"
#include "setup/core/messages.h"

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

} // namespace

const char* ModelAnswerName(ModelAnswer answer)
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

std::vector<JudgedCondition> OfferByModel(Media& media, ModelJudge& judge, EarlierChoice chosenBefore)
{
    std::vector<JudgedCondition> judged;
    NodeList<AppRecord> kept = {};
    while (AppRecord* app = PopFront(media.apps)) {
        if (app->model[0] == '\0' || (chosenBefore && chosenBefore(InfFileName(app->infPath)))) {
            Append(kept, app);
            continue;
        }
        auto asked = std::find_if(judged.begin(), judged.end(),
                                  [app](const JudgedCondition& c) { return c.condition == app->model; });
        if (asked == judged.end())
            asked = judged.insert(asked, JudgedCondition{app->model, judge.Judge(app->model)});
        switch (asked->answer) {
        case ModelAnswer::Matches:
            Append(kept, app);
            break;
        case ModelAnswer::OtherModel:
            Append(media.notOffered, app);
            break;
        case ModelAnswer::Unread:
            app->modelUnread = 1;
            app->selected = 0;
            NoteModelUnread(*app);
            Append(kept, app);
            break;
        }
    }
    media.apps = kept;
    return judged;
}
