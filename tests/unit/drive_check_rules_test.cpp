// The disc prompt's buttons and answers.
#include <gtest/gtest.h>

#include "setup/commands/drive_check_rules.h"

namespace {

TEST(PromptStyle, ButtonSets)
{
    EXPECT_EQ(PromptStyle("1"), 0x20u);
    EXPECT_EQ(PromptStyle(" +2"), 0x25u);
    EXPECT_EQ(PromptStyle("3"), 0x122u);
    EXPECT_EQ(PromptStyle(""), 0x21u);
    EXPECT_EQ(PromptStyle("x"), 0x21u);
    EXPECT_EQ(PromptStyle("4"), 0x21u);
    EXPECT_EQ(PromptStyle("-1"), 0x21u);
}

TEST(ActOnPromptAnswer, Answers)
{
    EXPECT_EQ(ActOnPromptAnswer(1), PromptAction::ProbeAgain);  // OK
    EXPECT_EQ(ActOnPromptAnswer(4), PromptAction::ProbeAgain);  // Retry
    EXPECT_EQ(ActOnPromptAnswer(0), PromptAction::ProbeAgain);  // a box that failed
    EXPECT_EQ(ActOnPromptAnswer(2), PromptAction::EndRun);      // Cancel
    EXPECT_EQ(ActOnPromptAnswer(3), PromptAction::EndRun);      // Abort
    EXPECT_EQ(ActOnPromptAnswer(5), PromptAction::RunWithoutCheck); // Ignore
}

} // namespace
