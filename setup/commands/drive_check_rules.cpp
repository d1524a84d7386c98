// The rules of the disc prompt.
#include "setup/commands/drive_check_rules.h"

#include "setup/core/command_text.h"

namespace {
// MessageBox styles and answers (MB_... and ID... values).
constexpr uint32_t OkQuestion = 0x20;
constexpr uint32_t RetryCancelQuestion = 0x25;
constexpr uint32_t AbortRetryIgnoreQuestionRetryDefault = 0x122;
constexpr uint32_t OkCancelQuestion = 0x21;
constexpr int Cancel = 2, Abort = 3, Ignore = 5;
} // namespace

uint32_t PromptStyle(const char* buttonSet)
{
    int32_t set = 0;
    ReadDecimal(buttonSet, &set);
    switch (set) {
    case 1: return OkQuestion;
    case 2: return RetryCancelQuestion;
    case 3: return AbortRetryIgnoreQuestionRetryDefault;
    default: return OkCancelQuestion;
    }
}

PromptAction ActOnPromptAnswer(int answer)
{
    switch (answer) {
    case Cancel:
    case Abort:
        return PromptAction::EndRun;
    case Ignore:
        return PromptAction::RunWithoutCheck;
    default:
        return PromptAction::ProbeAgain;
    }
}
