// envprep's pure rules.
#include "envprep/envprep_rules.h"

#include <cstring>

namespace {

const char* const kKeyboardFragments[] = {
    "Vid_5C7E&Pid_0014&Mi_00", "Vid_5C7E&Pid_0011&Mi_00", "Vid_5C7E&Pid_003f&Mi_00",
    "Vid_5C7E&Pid_004f&Mi_00"};
const char* const kMouseFragments[] = {
    "Vid_5C7E&Pid_0014&Mi_01", "Vid_5C7E&Pid_0011&Mi_01", "Vid_5C7E&Pid_003f&Mi_01",
    "Vid_5C7E&Pid_004f&Mi_01"};

template <size_t N>
bool HoldsAny(const char* path, const char* const (&fragments)[N])
{
    for (const char* fragment : fragments) {
        if (strstr(path, fragment))
            return true;
    }
    return false;
}

} // namespace

bool HasSilentSwitch(const char* commandLine)
{
    for (const char* slash = strchr(commandLine, '/'); slash; slash = strchr(slash + 1, '/')) {
        if (strncmp(slash, "/silent", 7) == 0 && (slash[7] == ' ' || slash[7] == '\0'))
            return true;
    }
    return false;
}

bool IsMakerKeyboard(const char* instancePath)
{
    return HoldsAny(instancePath, kKeyboardFragments);
}

bool IsMakerMouse(const char* instancePath)
{
    return HoldsAny(instancePath, kMouseFragments);
}

std::string DriveOf(const char* path)
{
    if (path[0] == '\0' || path[1] != ':')
        return std::string();
    return std::string(path, 2);
}
