// typescan's exit codes and its switch for failure codes: what batch files,
// qvsetup and qvcheck read of a typescan run. No platform calls.
#pragma once

// Batch files know two exit codes: 1 for a match (or a string printed by
// /d) and 0 for everything else. Under FailureCodesSwitch a failure has a
// code of its own, so that a caller never takes a model that could not be
// read, or a command line that is wrong, for "not this model".
constexpr int TypescanMatch = 1;
constexpr int TypescanNoMatch = 0;
constexpr int TypescanUnread = 2;
constexpr int TypescanWrongUsage = 3;

// Taken only as the first argument, before /mode; the usage text does not
// name it, and a command line without it runs as it always did. The file
// of a typescan that knows it holds this text as it is written, which is
// how qvcheck tells it from an older typescan.
constexpr char FailureCodesSwitch[] = "/FAILCODES";
