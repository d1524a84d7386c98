// Whether a file's bytes are CP932 text, as qvsetup reads them, or UTF-8
// text saved by an editor that defaults to it. No platform calls.
#pragma once

#include <string>

enum class TextEncodingFault {
    None,
    LooksUtf8,   // UTF-8 with kana or kanji, or a line of UTF-8 that is no CP932
    NotCp932,    // bytes that no CP932 text holds, and no UTF-8 either
};

struct TextEncodingFinding {
    TextEncodingFault fault;
    int line;   // from 1; 0 with no fault
};

// Where the text of a file's bytes is not plausible CP932: the first line
// with UTF-8 characters when the file reads as UTF-8, else the first line
// that is no CP932. A UTF-8 byte order mark at the start is passed over (it
// is reported on its own); a UTF-16 one makes the whole file another
// matter, and nothing is found.
TextEncodingFinding FindForeignText(const std::string& bytes);
