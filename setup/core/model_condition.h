// A model condition: an application INF's [Version] MODEL, typescan's own
// command line (its /mode and its conditions), read by typescan's own
// parser. No platform calls.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// typescan's arguments in a MODEL value: words between blanks, a pair of
// double quotes keeping blanks inside a word.
std::vector<std::string> ModelArguments(const char* value);

// What is wrong with a MODEL value, read as typescan reads its command
// line: empty when nothing is; else typescan's own message (or why the
// value is no condition), with `*offset` the byte offset in `value` of the
// word at fault.
std::string ModelConditionFault(const char* value, size_t* offset);
