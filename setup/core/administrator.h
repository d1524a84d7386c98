// Whether the user counts as an administrator on the NT family.
#pragma once

#include <windows.h>

// True when a group of the process token is the built-in Administrators alias.
bool IsAdministrator();

// True when any valid SID of the list has a sub-authority 544 (the
// Administrators alias), at any position; group attributes are not looked at.
bool GroupsIncludeAdministrators(const TOKEN_GROUPS* groups);
