// One question to typescan: read the string that /mode names through a
// reader, then test it against the conditions. The program answers it with
// the driver; qvcheck answers it with a dump's table. No platform calls.
#pragma once

#include <string>

#include "typescan/smbios_reader.h"

enum class ModelOutcome { Match, NoMatch, Unread, WrongUsage };

struct ModelQuery {
    ModelOutcome outcome;
    std::string printed;   // what typescan prints, byte for byte
    std::string value;     // the string read, when it could be read
};

// argv[0] is the program, argv[1] the mode, then the conditions (or /d).
// The string is read before the conditions are looked at, as typescan
// always did: on a machine whose read fails, a wrong condition shows only
// the SMBIOS message.
ModelQuery AskModel(int argc, const char* const argv[], SmbiosReader& reader);
