// Number fields of command lines and the shutdown flag arithmetic.
#include "setup/core/command_text.h"

namespace {
// The values of EWX_SHUTDOWN, EWX_REBOOT, EWX_FORCE and EWX_POWEROFF.
constexpr uint32_t ExitShutdown = 0x01;
constexpr uint32_t ExitReboot = 0x02;
constexpr uint32_t ExitForce = 0x04;
constexpr uint32_t ExitPowerOff = 0x08;

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
} // namespace

bool ReadDecimal(const char* text, int32_t* value)
{
    while (IsSpace(*text))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    if (*text < '0' || *text > '9')
        return false;
    int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (magnitude <= INT32_MAX)
            magnitude = magnitude * 10 + (*text - '0');
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX)
        *value = INT32_MAX;
    else if (signedValue < INT32_MIN)
        *value = INT32_MIN;
    else
        *value = static_cast<int32_t>(signedValue);
    return true;
}

uint32_t ShutdownFlags(int32_t mode)
{
    uint32_t flags = (mode & 7) ? ExitReboot : (ExitShutdown | ExitPowerOff);
    if (mode & 8)
        flags |= ExitForce;
    return flags;
}
