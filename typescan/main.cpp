// typescan: reads the machine's model number from SMBIOS and answers by
// exit code whether it matches the conditions of the command line.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "typescan/device_link.h"
#include "typescan/model_query.h"
#include "typescan/smbios_reader.h"

namespace {

// Batch files know two exit codes: 1 for a match (or a string printed by
// /d) and 0 for everything else. Under FailureCodesSwitch a failure has a
// code of its own, so that a caller never takes a model that could not be
// read, or a command line that is wrong, for "not this model".
constexpr int ExitMatch = 1;
constexpr int ExitNoMatch = 0;
constexpr int ExitUnread = 2;
constexpr int ExitWrongUsage = 3;

// Taken only as the first argument, before /mode; the usage text does not
// name it, and a command line without it runs as it always did.
constexpr char FailureCodesSwitch[] = "/FAILCODES";

int ExitCodeOf(ModelOutcome outcome, bool failureCodes)
{
    switch (outcome) {
    case ModelOutcome::Match:
        return ExitMatch;
    case ModelOutcome::Unread:
        return failureCodes ? ExitUnread : ExitNoMatch;
    case ModelOutcome::WrongUsage:
        return failureCodes ? ExitWrongUsage : ExitNoMatch;
    case ModelOutcome::NoMatch:
        break;
    }
    return ExitNoMatch;
}

bool IsFailureCodesSwitch(const char* argument)
{
    for (size_t i = 0;; ++i) {
        const char a = argument[i] >= 'a' && argument[i] <= 'z' ? argument[i] - 0x20 : argument[i];
        if (a != FailureCodesSwitch[i])
            return false;
        if (a == '\0')
            return true;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The switch is taken away before the command line is read: the mode
    // is then the first argument again, as the conditions expect.
    std::vector<const char*> arguments(argv, argv + argc);
    const bool failureCodes = argc > 1 && IsFailureCodesSwitch(argv[1]);
    if (failureCodes)
        arguments.erase(arguments.begin() + 1);
    DeviceDriverLink link;
    SmbiosReader reader(link);
    const ModelQuery query = AskModel(static_cast<int>(arguments.size()), arguments.data(), reader);
    printf("%s", query.printed.c_str());
    return ExitCodeOf(query.outcome, failureCodes);
}
