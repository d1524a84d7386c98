// The lines of an INF file as the platform's profile reader reads them:
// section headers, and the lines it keeps as keys (`name=value`, or a line
// without "=", whose name is the whole line), each with its line number in
// the file. Used by qvsetup, to say where a command stands, and by qvcheck.
// No platform calls, no allocation.
#pragma once

#include <cstddef>

// A piece of the file's bytes (not NUL-ended).
struct ByteSpan {
    const char* begin;
    size_t length;
};

struct ProfileTextLine {
    int number;         // line number in the file, from 1
    size_t indent;      // bytes of blanks (single-byte characters) before `text`
    bool isSection;     // a "[name]" header: `name` is the section's name
    ByteSpan text;      // the line, blanks around it removed
    ByteSpan name;      // blanks around it removed
    ByteSpan value;     // empty for a header or a line without "="
    bool hasEquals;
    bool isComment;     // a key whose name begins with ";": the section functions skip it
};

// Steps through the lines of a file's bytes (CP932, CR LF or LF line ends).
// Blank lines are passed over, and so is a second line without a name after
// one, which the reader drops as well.
class ProfileTextReader {
public:
    ProfileTextReader(const char* bytes, size_t size);

    // The next header or kept line; false at the end of the file.
    bool Next(ProfileTextLine* line);

    // Moves past the header of the first section named `section` (any
    // case), where the profile functions read it; false when there is none.
    bool SeekSection(const char* section);

private:
    const char* bytes_;
    size_t size_;
    size_t at_;
    char lineEnd_;
    int number_;
    bool lastHadName_;  // the line before, in this section, had a name
};

// True for the bytes a profile reader trims around names and values.
bool IsProfileSpace(char c);

// True when a span holds a name equal to `name` (ASCII letters folded).
bool SpanNamed(const ByteSpan& span, const char* name);

// True when the file begins with a UTF-8 or UTF-16 byte order mark.
bool HasByteOrderMark(const char* bytes, size_t size);
