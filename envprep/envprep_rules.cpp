// envprep's pure rules.
#include "envprep/envprep_rules.h"

#include <cstring>

namespace {

const char* const KeyboardFragments[] = {
    "Vid_5C7E&Pid_0014&Mi_00", "Vid_5C7E&Pid_0011&Mi_00", "Vid_5C7E&Pid_003f&Mi_00",
    "Vid_5C7E&Pid_004f&Mi_00"};
const char* const MouseFragments[] = {
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
        constexpr size_t SwitchLength = 7;
        if (strncmp(slash, "/silent", SwitchLength) == 0 &&
            (slash[SwitchLength] == ' ' || slash[SwitchLength] == '\0'))
            return true;
    }
    return false;
}

bool IsMakerKeyboard(const char* instancePath)
{
    return HoldsAny(instancePath, KeyboardFragments);
}

bool IsMakerMouse(const char* instancePath)
{
    return HoldsAny(instancePath, MouseFragments);
}

std::string DriveOf(const char* path)
{
    if (path[0] == '\0' || path[1] != ':')
        return std::string();
    return std::string(path, 2);
}

bool ValueNameIndex(const char* name, uint32_t count, uint32_t* index)
{
    // "%lu" writes no sign, no blank and no leading zero but for 0 itself.
    if (name[0] < '0' || name[0] > '9' || (name[0] == '0' && name[1] != '\0'))
        return false;
    uint64_t value = 0;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value >= count)
            return false;
    }
    *index = static_cast<uint32_t>(value);
    return true;
}
