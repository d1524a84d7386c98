#include "qvcheck/text_encoding.h"

#include <cstddef>
#include <cstdint>

namespace {

bool InRange(uint8_t byte, uint8_t low, uint8_t high)
{
    return byte >= low && byte <= high;
}

// True when every character of the line is one of CP932: ASCII, a
// half-width katakana byte, or a lead byte with a trail byte after it.
bool IsCp932Line(const uint8_t* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = text[i];
        if (byte < 0x80 || InRange(byte, 0xA1, 0xDF))
            continue;
        const bool lead = InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC);
        if (!lead || i + 1 >= length)
            return false;
        const uint8_t trail = text[++i];
        if (!InRange(trail, 0x40, 0x7E) && !InRange(trail, 0x80, 0xFC))
            return false;
    }
    return true;
}

// The length of the UTF-8 sequence at `text` (no overlong forms, no
// surrogates, nothing past U+10FFFF), or 0 when there is none.
size_t Utf8SequenceAt(const uint8_t* text, size_t left)
{
    const uint8_t lead = text[0];
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;   // the range of the second byte
    if (InRange(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (InRange(lead, 0xE0, 0xEF)) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (InRange(lead, 0xF0, 0xF4)) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || length > left || !InRange(text[1], low, high))
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (!InRange(text[i], 0x80, 0xBF))
            return 0;
    }
    return length;
}

// True when the line is UTF-8 holding a multi-byte character; `wide` says
// whether one of them takes three or more bytes (every kana and kanji).
bool IsUtf8Line(const uint8_t* text, size_t length, bool* wide)
{
    bool multiByte = false;
    *wide = false;
    for (size_t i = 0; i < length;) {
        if (text[i] < 0x80) {
            ++i;
            continue;
        }
        const size_t sequence = Utf8SequenceAt(text + i, length - i);
        if (sequence == 0)
            return false;
        multiByte = true;
        *wide = *wide || sequence >= 3;
        i += sequence;
    }
    return multiByte;
}

// CP932 text is next to never valid UTF-8 once it holds a character of
// three bytes in that reading; two-byte UTF-8 alone (accented Latin) also
// reads as two half-width katakana, and is left as CP932.
TextEncodingFault JudgeLine(const uint8_t* text, size_t length)
{
    bool wide = false;
    const bool utf8 = IsUtf8Line(text, length, &wide);
    const bool cp932 = IsCp932Line(text, length);
    if (utf8 && (wide || !cp932))
        return TextEncodingFault::LooksUtf8;
    return cp932 ? TextEncodingFault::None : TextEncodingFault::NotCp932;
}

} // namespace

TextEncodingFinding FindForeignText(const std::string& bytes)
{
    const auto* text = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t start = 0;
    if (bytes.size() >= 2 && ((text[0] == 0xFF && text[1] == 0xFE) || (text[0] == 0xFE && text[1] == 0xFF)))
        return TextEncodingFinding{TextEncodingFault::None, 0};
    if (bytes.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF)
        start = 3;
    // Lines end as the profile reader ends them: CR LF, LF or CR alone.
    for (int line = 1; start <= bytes.size(); ++line) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        const TextEncodingFault fault = JudgeLine(text + start, end - start);
        if (fault != TextEncodingFault::None)
            return TextEncodingFinding{fault, line};
        start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return TextEncodingFinding{TextEncodingFault::None, 0};
}
