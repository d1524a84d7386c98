// Path building and testing shared by the engine's commands and dialogs.
#include "setup/core/paths.h"

#include <windows.h>

#include <cstdio>

#include "common/owners.h"
#include "setup/core/dbcs.h"

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

namespace {

// The full path of `path` into `full` (MAX_PATH bytes); its length, or 0
// when it can't be had or does not fit.
DWORD FullPathOf(const char* path, char* full)
{
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length < MAX_PATH ? length : 0;
}

bool SameText(const char* a, DWORD aLength, const char* b, DWORD bLength)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, static_cast<int>(aLength), b,
                          static_cast<int>(bLength)) == CSTR_EQUAL;
}

} // namespace

bool PathIsInside(const char* inner, const char* outer)
{
    char innerFull[MAX_PATH], outerFull[MAX_PATH];
    const DWORD innerLength = FullPathOf(inner, innerFull);
    const DWORD outerLength = FullPathOf(outer, outerFull);
    if (innerLength == 0 || outerLength == 0 || innerLength < outerLength ||
        !SameText(innerFull, outerLength, outerFull, outerLength))
        return false;
    // The byte after the common part starts a character of `inner`, since
    // the part ends where `outer` ends; the last byte of `outer` may be the
    // second byte of a double-byte character ("表" is 95 5C), so its own
    // separator is found character by character.
    const bool outerEndsWithSeparator = FindLastBackslash(outerFull) == outerFull + outerLength - 1;
    return innerFull[outerLength] == '\0' || innerFull[outerLength] == '\\' ||
           outerEndsWithSeparator;
}

bool NamesSamePath(const char* a, const char* b)
{
    char aFull[MAX_PATH], bFull[MAX_PATH];
    const DWORD aLength = FullPathOf(a, aFull);
    const DWORD bLength = FullPathOf(b, bFull);
    return aLength != 0 && aLength == bLength && SameText(aFull, aLength, bFull, bLength);
}
