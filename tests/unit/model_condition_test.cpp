// A MODEL's words as typescan's runtime hands them over, and the word at
// fault where they would not be those.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/core/model_condition.h"

namespace {

TEST(ModelCondition, QuotesTheRuntimeReadsOtherwiseAreRefusedAtTheirByte)
{
    EXPECT_EQ(ModelArguments("/mode=0 \"/ALL=PC AB\""), (std::vector<std::string>{"/mode=0", "/ALL=PC AB"}));
    const struct {
        const char* value;
        size_t offset;   // where the fault stands
    } refused[] = {
        {"/mode=0 /ALL=\"A\\\"B\"", 15},
        {"/mode=0 \"/ALL=A\"\"B\"", 15},
        {"/mode=0 /ALL=\"\"", 13},
        {"/mode=0 /N=ABC", 8},
    };
    for (const auto& c : refused) {
        size_t offset = 0;
        EXPECT_FALSE(ModelConditionFault(c.value, &offset).empty()) << c.value;
        EXPECT_EQ(offset, c.offset) << c.value;
    }
    size_t offset = 0;
    EXPECT_EQ(ModelConditionFault("/mode=0 \"/ALL=PC AB\"", &offset), "");
}

} // namespace
