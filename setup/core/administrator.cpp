// Whether the user counts as an administrator on the NT family.
#include "setup/core/administrator.h"

#include "common/owners.h"
#include "setup/core/memory.h"

namespace {

constexpr DWORD AdministratorsRid = 544; // DOMAIN_ALIAS_RID_ADMINS
constexpr DWORD TokenAllAccess = 0xF00FF;
constexpr DWORD FirstGroupsGuess = 12;

bool SidHasAdministratorsRid(PSID sid)
{
    if (!IsValidSid(sid))
        return false;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    for (UCHAR i = 0; i < count; ++i) {
        if (*GetSidSubAuthority(sid, i) == AdministratorsRid)
            return true;
    }
    return false;
}

// The token's group list in a zero-filled block that the caller frees, or null.
TOKEN_GROUPS* ReadTokenGroups(HANDLE token)
{
    DWORD size = FirstGroupsGuess;
    for (;;) {
        void* block = AllocZeroed(size);
        if (!block)
            return nullptr;
        DWORD needed = 0;
        if (GetTokenInformation(token, TokenGroups, block, size, &needed))
            return static_cast<TOKEN_GROUPS*>(block);
        const DWORD error = GetLastError();
        FreeZeroed(block);
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= size)
            return nullptr;
        size = needed;
    }
}

} // namespace

bool IsAdministrator()
{
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TokenAllAccess, token.Receive()))
        return false;
    TOKEN_GROUPS* groups = ReadTokenGroups(token.get());
    if (!groups)
        return false;
    const bool result = GroupsIncludeAdministrators(groups);
    FreeZeroed(groups);
    return result;
}

bool GroupsIncludeAdministrators(const TOKEN_GROUPS* groups)
{
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        if (SidHasAdministratorsRid(groups->Groups[i].Sid))
            return true;
    }
    return false;
}
