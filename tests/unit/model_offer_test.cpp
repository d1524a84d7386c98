// The offer by model with a scripted judge: each distinct condition asked
// once, and what each answer does to the application and the lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "setup/core/messages.h"
#include "setup/core/model_offer.h"

namespace {

class ScriptedJudge : public ModelJudge {
public:
    std::map<std::string, ModelAnswer> answers;
    std::vector<std::string> asked;
    ModelAnswer Judge(const char* condition) override
    {
        asked.push_back(condition);
        return answers.at(condition);
    }
};

std::vector<std::string> Names(const NodeList<AppRecord>& list)
{
    std::vector<std::string> names;
    for (const AppRecord* app = list.head; app; app = app->next)
        names.push_back(app->title);
    return names;
}

TEST(ModelOffer, EachConditionAskedOnceAndEachAnswerApplied)
{
    AppRecord apps[5] = {};
    const char* models[] = {"", "/mode=0 /N=AB", "/mode=0 /N=XY", "/mode=0 /N=AB", "/mode=1,0 /ALL=Z"};
    Media media = {};
    for (int i = 0; i < 5; ++i) {
        snprintf(apps[i].title, sizeof apps[i].title, "%c", 'A' + i);
        snprintf(apps[i].model, sizeof apps[i].model, "%s", models[i]);
        apps[i].selected = 1;
        Append(media.apps, &apps[i]);
    }
    // E's description fills the room to the last byte, ending in a
    // double-byte character that the note must not split.
    memset(apps[4].description, 'x', sizeof apps[4].description - 1);
    const size_t room = sizeof apps[4].description - 1 - (strlen(MsgModelUnread) - 2);
    apps[4].description[room - 1] = '\x95';   // lead byte of 表, cut off by the note
    apps[4].description[room] = '\x5C';
    ScriptedJudge judge;
    judge.answers = {{"/mode=0 /N=AB", ModelAnswer::Matches},
                     {"/mode=0 /N=XY", ModelAnswer::OtherModel},
                     {"/mode=1,0 /ALL=Z", ModelAnswer::Unread}};

    const std::vector<JudgedCondition> judged = OfferByModel(media, judge);

    EXPECT_EQ(judge.asked, (std::vector<std::string>{"/mode=0 /N=AB", "/mode=0 /N=XY", "/mode=1,0 /ALL=Z"}));
    ASSERT_EQ(judged.size(), 3u);
    EXPECT_EQ(judged[1].condition, "/mode=0 /N=XY");
    EXPECT_EQ(judged[1].answer, ModelAnswer::OtherModel);
    EXPECT_EQ(Names(media.apps), (std::vector<std::string>{"A", "B", "D", "E"}));
    EXPECT_EQ(Names(media.notOffered), std::vector<std::string>{"C"});
    EXPECT_EQ(apps[3].selected, 1);
    EXPECT_EQ(apps[3].modelUnread, 0);
    EXPECT_EQ(apps[4].selected, 0);
    EXPECT_EQ(apps[4].modelUnread, 1);
    const std::string description = apps[4].description;
    const std::string note = std::string(MsgModelUnread).substr(2);
    ASSERT_GT(description.size(), note.size());
    EXPECT_EQ(description.substr(description.size() - note.size()), note);
    EXPECT_EQ(description.size(), room - 1 + note.size()) << "the double-byte character is cut whole";

    // A run that goes on after a restart keeps what its start chose (C, by
    // its INF's name), in its place, whatever the model reads now; the
    // rest is judged again.
    Media resumed = {};
    for (int i = 0; i < 5; ++i) {
        snprintf(apps[i].infPath, sizeof apps[i].infPath, "R:\\%c.INF", 'A' + i);
        apps[i].selected = 1;
        apps[i].modelUnread = 0;
        Append(resumed.apps, &apps[i]);
    }
    judge.asked.clear();
    OfferByModel(resumed, judge, [](const char* name) { return strcmp(name, "C.INF") == 0; });
    EXPECT_EQ(Names(resumed.apps), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(apps[2].modelUnread, 0);
    EXPECT_EQ(judge.asked, (std::vector<std::string>{"/mode=0 /N=AB", "/mode=1,0 /ALL=Z"}));
}

} // namespace
