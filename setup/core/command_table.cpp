// Lookups in the command table.
#include "setup/core/command_table.h"

const CommandFacts* FactsOf(uint32_t code)
{
    for (const CommandFacts& command : Commands) {
        if (command.code == (code & CommandCodeMask))
            return &command;
    }
    return nullptr;
}

bool CommandHas(uint32_t code, uint32_t trait)
{
    const CommandFacts* facts = FactsOf(code);
    return facts && (facts->traits & trait) != 0;
}

const char* KeywordName(uint32_t code)
{
    const CommandFacts* facts = FactsOf(code);
    return facts ? facts->name : nullptr;
}

const char* FailureDetail(uint32_t code, const char* param1, const char* param2)
{
    const CommandFacts* facts = FactsOf(code);
    if (!facts || !facts->failureBox)
        return nullptr;
    return facts->failureField == 2 ? param2 : param1;
}

uint32_t WaitLimitSeconds(uint32_t code, const Answers& answers)
{
    const CommandFacts* facts = FactsOf(code);
    return facts && facts->waitLimit.seconds ? answers.*(facts->waitLimit.seconds) : 0;
}
