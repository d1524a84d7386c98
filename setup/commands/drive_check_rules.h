// The rules of the disc prompt: which buttons a [CheckCdrom] button set
// asks for, and what each answer means.
#pragma once

#include <cstdint>

// MessageBox style of the prompt for the buttonSet field (read like atoi).
uint32_t PromptStyle(const char* buttonSet);

enum class PromptAction {
    ProbeAgain,      // OK, Retry and any unknown answer
    EndRun,          // Cancel, Abort
    RunWithoutCheck  // Ignore: the command runs, the key is not remembered
};

PromptAction ActOnPromptAnswer(int answer);
