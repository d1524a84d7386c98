#include "setup/core/answer_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AnswerFile, EachKeyTakesItsSetAndRefusesTheRest)
{
    const std::string tooLong(PathCapacity, 'x');
    const struct {
        const char* key;
        const char* value;
        AnswerFault fault;
    } cases[] = {
        {"select", "all", AnswerFault::None},
        {"Select", "QVA.INF, QVB.INF", AnswerFault::None},
        {"Select", "QVA.INF,", AnswerFault::BadValue},
        {"Select", "QVA.INF,,QVB.INF", AnswerFault::BadValue},
        {"CdromDrive", "r:", AnswerFault::None},
        {"CdromDrive", "RR", AnswerFault::BadValue},
        {"CdromDrive", "1", AnswerFault::BadValue},
        {"DiscWait", "3600", AnswerFault::None},
        {"DiscWait", "3601", AnswerFault::BadValue},
        {"DiscWait", "-1", AnswerFault::BadValue},
        {"DiscWait", "", AnswerFault::BadValue},
        {"ProgTimeout", "99999999999", AnswerFault::BadValue},
        {"Restart", "yes", AnswerFault::None},
        {"Restart", "1", AnswerFault::BadValue},
        {"Log", tooLong.c_str(), AnswerFault::TooLong},
        {"Reboot", "NO", AnswerFault::UnknownKey},
    };
    for (const auto& c : cases) {
        Answers answers;
        SetDefaultAnswers(&answers);
        EXPECT_EQ(ApplyAnswer(c.key, c.value, &answers), c.fault) << c.key << "=" << c.value;
    }
}

TEST(AnswerFile, DefaultsAndValuesAsRead)
{
    Answers answers;
    SetDefaultAnswers(&answers);
    EXPECT_EQ(answers.select, SelectAnswer::Default);
    EXPECT_EQ(answers.cdromDrive, AutoDrive);
    EXPECT_EQ(answers.discWaitSeconds, 300u);
    EXPECT_EQ(answers.progTimeoutSeconds, 3600u);
    EXPECT_EQ(answers.existTimeoutSeconds, 3600u);
    EXPECT_FALSE(answers.restart);
    ASSERT_EQ(ApplyAnswer("CdromDrive", "q", &answers), AnswerFault::None);
    EXPECT_EQ(answers.cdromDrive, 'Q');
    ASSERT_EQ(ApplyAnswer("ProgTimeout", "90", &answers), AnswerFault::None);
    EXPECT_EQ(answers.progTimeoutSeconds, 90u);
    // A refused list leaves the selection as it was.
    ASSERT_EQ(ApplyAnswer("Select", std::string(SelectListCapacity, 'A').c_str(), &answers),
              AnswerFault::TooLong);
    EXPECT_EQ(answers.select, SelectAnswer::Default);
}

TEST(AnswerFile, SelectNamesAndInfFileNames)
{
    const char* cursor = " QVA.INF ,\tQV\x95\x5C.INF,QVC.INF";
    std::vector<std::string> names;
    char name[16];
    while (NextSelectName(&cursor, name, sizeof name))
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"QVA.INF", "QV\x95\x5C.INF", "QVC.INF"}));
    EXPECT_STREQ(InfFileName("R:\\\x95\x5C\\QVA.INF"), "QVA.INF");
    EXPECT_STREQ(InfFileName("R:\\QV\x95\x5C.INF"), "QV\x95\x5C.INF");
    EXPECT_STREQ(InfFileName("QVA.INF"), "QVA.INF");
}
