// The command table's facts that other tables must agree with: the answer
// key that bounds a wait, and the box a command fails with.
#include "setup/core/command_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/core/inf_line.h"

TEST(CommandTable, AWaitIsBoundByTheAnswerKeyItNames)
{
    int bounded = 0;
    for (const CommandFacts& command : Commands) {
        // A command that waits for a program or a path has a bound of its own.
        if (command.traits & (TraitWaitsForProgram | TraitWaitsForPath))
            EXPECT_NE(command.waitLimit.key, nullptr) << command.name;
        if (!command.waitLimit.key) {
            EXPECT_EQ(command.waitLimit.seconds, nullptr) << command.name;
            continue;
        }
        ++bounded;
        Answers answers = {};
        SetDefaultAnswers(&answers);
        ASSERT_EQ(ApplyAnswer(command.waitLimit.key, "7", &answers), AnswerFault::None) << command.name;
        EXPECT_EQ(WaitLimitSeconds(command.code, answers), 7u) << command.name;
        // Another key of the table leaves this bound as it is.
        for (const CommandFacts& other : Commands) {
            if (other.waitLimit.key && other.code != command.code)
                EXPECT_EQ(ApplyAnswer(other.waitLimit.key, "9", &answers), AnswerFault::None);
        }
        EXPECT_EQ(WaitLimitSeconds(command.code, answers), 7u) << command.name;
    }
    EXPECT_EQ(bounded, 2);
    EXPECT_EQ(WaitLimitSeconds(CmdSleep, Answers{}), 0u);
}

TEST(CommandTable, AFailureBoxNamesAFieldTheCommandHas)
{
    for (const CommandFacts& command : Commands) {
        EXPECT_EQ(LookupKeyword(command.name), command.code);
        EXPECT_STREQ(KeywordName(command.code | CheckCdromFlag), command.name);
        if (!command.failureBox) {
            EXPECT_EQ(FailureDetail(command.code, "one", "two"), nullptr) << command.name;
            continue;
        }
        const std::string box = command.failureBox;
        EXPECT_EQ(box.find("%s"), box.rfind("%"));
        ASSERT_TRUE(command.failureField == 1 || command.failureField == 2) << command.name;
        EXPECT_NE(command.fields[command.failureField - 1], nullptr) << command.name;
        EXPECT_STREQ(FailureDetail(command.code, "one", "two"), command.failureField == 1 ? "one" : "two");
    }
    EXPECT_EQ(FactsOf(0x8000), nullptr);
    EXPECT_FALSE(CommandHas(0x8000, TraitNeedsFirst));
}
