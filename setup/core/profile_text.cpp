// The lines of an INF file as the profile reader reads them.
#include "setup/core/profile_text.h"

#include <cstring>

#include "setup/core/dbcs.h"
#include "setup/core/inf_line.h"

namespace {

constexpr char EndOfFileMark = 0x1A;

ByteSpan Trimmed(const char* begin, const char* end)
{
    while (begin < end && IsProfileSpace(*begin))
        ++begin;
    while (end > begin && IsProfileSpace(end[-1]))
        --end;
    return ByteSpan{begin, static_cast<size_t>(end - begin)};
}

// The last "]" of the line that is a character of its own, or null.
const char* LastClosingBracket(const ByteSpan& line)
{
    const char* found = nullptr;
    for (size_t i = 0; i < line.length; ++i) {
        if (IsLeadByte932(static_cast<unsigned char>(line.begin[i])) && i + 1 < line.length)
            ++i;
        else if (line.begin[i] == ']')
            found = line.begin + i;
    }
    return found;
}

// Fills the name and value of a key line.
void SplitKey(ProfileTextLine* line)
{
    const char* begin = line->text.begin;
    const char* end = begin + line->text.length;
    const char* equals = static_cast<const char*>(memchr(begin, '=', line->text.length));
    line->hasEquals = equals != nullptr;
    line->name = equals ? Trimmed(begin, equals) : line->text;
    line->value = equals ? Trimmed(equals + 1, end) : ByteSpan{end, 0};
    line->isComment = line->name.length > 0 && line->name.begin[0] == ';';
}

} // namespace

bool IsProfileSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == EndOfFileMark;
}

bool SpanNamed(const ByteSpan& span, const char* name)
{
    if (strlen(name) != span.length)
        return false;
    for (size_t i = 0; i < span.length; ++i) {
        if (FoldAscii(span.begin[i]) != FoldAscii(name[i]))
            return false;
    }
    return true;
}

bool HasByteOrderMark(const char* bytes, size_t size)
{
    return (size >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) ||
           (size >= 2 && (memcmp(bytes, "\xFF\xFE", 2) == 0 || memcmp(bytes, "\xFE\xFF", 2) == 0));
}

// A line ends at a line feed; a file without any ends its lines at
// carriage returns.
ProfileTextReader::ProfileTextReader(const char* bytes, size_t size)
    : bytes_(bytes), size_(size), at_(0),
      lineEnd_(size && memchr(bytes, '\n', size) ? '\n' : '\r'), number_(0), lastHadName_(true)
{
}

bool ProfileTextReader::Next(ProfileTextLine* line)
{
    while (at_ < size_) {
        const char* begin = bytes_ + at_;
        const char* stop = static_cast<const char*>(memchr(begin, lineEnd_, size_ - at_));
        const char* end = stop ? stop : bytes_ + size_;
        at_ = static_cast<size_t>(end - bytes_) + (stop ? 1 : 0);
        ++number_;
        *line = ProfileTextLine{};
        line->number = number_;
        line->text = Trimmed(begin, end);
        if (line->text.length == 0)
            continue;
        line->indent = static_cast<size_t>(line->text.begin - begin);
        const char* closing = line->text.begin[0] == '[' ? LastClosingBracket(line->text) : nullptr;
        if (closing) {
            line->isSection = true;
            line->name = Trimmed(line->text.begin + 1, closing);
            lastHadName_ = true;
            return true;
        }
        SplitKey(line);
        // The reader keeps a line without a name only after a named one.
        const bool named = line->name.length > 0;
        if (!named && !lastHadName_)
            continue;
        lastHadName_ = named;
        return true;
    }
    return false;
}

bool ProfileTextReader::SeekSection(const char* section)
{
    ProfileTextLine line;
    while (Next(&line)) {
        if (line.isSection && SpanNamed(line.name, section))
            return true;
    }
    return false;
}
