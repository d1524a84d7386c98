// Path building and testing shared by the engine's commands and dialogs.
#include "setup/core/paths.h"

#include <windows.h>

#include <cstdio>

#include "common/owners.h"

bool JoinPath(char* path, size_t capacity, const char* folder, const char* name)
{
    const int written = snprintf(path, capacity, "%s\\%s", folder, name);
    return written >= 0 && written < MAX_PATH && static_cast<size_t>(written) < capacity;
}

bool AnythingMatches(const char* pattern)
{
    WIN32_FIND_DATAA found;
    const FindHandle search(FindFirstFileA(pattern, &found));
    if (!search.valid())
        return false;
    return true;
}
