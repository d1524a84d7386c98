// Path building and testing shared by the engine's commands and dialogs.
#pragma once

#include <cstddef>

// folder + "\" + name into `path` of `capacity` bytes; false (nothing to
// use) when the result would not fit or would pass the path limit.
bool JoinPath(char* path, size_t capacity, const char* folder, const char* name);

// True when a directory search finds something for `pattern`; the search is
// closed again.
bool AnythingMatches(const char* pattern);

// True when the full path `inner` is `outer` or lies inside it (case
// ignored as the file system ignores it).
bool PathIsInside(const char* inner, const char* outer);

// True when the two paths name the same place once made full (a relative
// path against the current folder); nothing on the disk is looked at.
bool NamesSamePath(const char* a, const char* b);
