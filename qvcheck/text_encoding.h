// Whether a file's bytes are CP932 text, as qvsetup reads them, or UTF-8
// text saved by an editor that defaults to it. No platform calls.
#pragma once

#include <string>

enum class TextEncodingFault {
    None,
    LooksUtf8,   // valid UTF-8 with characters of three or more bytes, or UTF-8 that is no CP932
    NotCp932,    // bytes that no CP932 text holds, and no UTF-8 either
};

struct TextEncodingFinding {
    TextEncodingFault fault;
    int line;   // from 1; 0 with no fault
};

// The first line of `bytes` whose text is not plausible CP932. A UTF-8 byte
// order mark at the start is passed over (it is reported on its own); a
// UTF-16 one makes the whole file another matter, and nothing is found.
TextEncodingFinding FindForeignText(const std::string& bytes);
