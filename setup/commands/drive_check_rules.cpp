// The rules of the disc prompt.
#include "setup/commands/drive_check_rules.h"

#include "setup/commands/command_text.h"

namespace {
// MessageBox styles and answers (MB_... and ID... values).
constexpr uint32_t kOkQuestion = 0x20;
constexpr uint32_t kRetryCancelQuestion = 0x25;
constexpr uint32_t kAbortRetryIgnoreQuestionRetryDefault = 0x122;
constexpr uint32_t kOkCancelQuestion = 0x21;
constexpr int kCancel = 2, kAbort = 3, kIgnore = 5;
} // namespace

uint32_t PromptStyle(const char* buttonSet)
{
    int32_t set = 0;
    ReadDecimal(buttonSet, &set);
    switch (set) {
    case 1: return kOkQuestion;
    case 2: return kRetryCancelQuestion;
    case 3: return kAbortRetryIgnoreQuestionRetryDefault;
    default: return kOkCancelQuestion;
    }
}

PromptAction ActOnPromptAnswer(int answer)
{
    switch (answer) {
    case kCancel:
    case kAbort:
        return PromptAction::EndRun;
    case kIgnore:
        return PromptAction::RunWithoutCheck;
    default:
        return PromptAction::ProbeAgain;
    }
}
