// typescan: reads the machine's model number from SMBIOS and answers by
// exit code whether it matches the conditions of the command line.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "typescan/device_link.h"
#include "typescan/exit_codes.h"
#include "typescan/model_query.h"
#include "typescan/smbios_reader.h"

namespace {

// The compare reads the switch's text through this pointer, which the
// compiler can't see through: the text stays in the file, whatever the
// optimiser makes of the loop.
const char* const volatile FailureCodesText = FailureCodesSwitch;

int ExitCodeOf(ModelOutcome outcome, bool failureCodes)
{
    switch (outcome) {
    case ModelOutcome::Match:
        return TypescanMatch;
    case ModelOutcome::Unread:
        return failureCodes ? TypescanUnread : TypescanNoMatch;
    case ModelOutcome::WrongUsage:
        return failureCodes ? TypescanWrongUsage : TypescanNoMatch;
    case ModelOutcome::NoMatch:
        break;
    }
    return TypescanNoMatch;
}

bool IsFailureCodesSwitch(const char* argument)
{
    const char* const text = FailureCodesText;
    for (size_t i = 0;; ++i) {
        const char a = argument[i] >= 'a' && argument[i] <= 'z' ? argument[i] - 0x20 : argument[i];
        if (a != text[i])
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
