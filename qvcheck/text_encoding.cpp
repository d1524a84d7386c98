#include "qvcheck/text_encoding.h"

#include <cstddef>
#include <cstdint>

#include "setup/core/profile_text.h"

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

// True when the line is UTF-8 holding a multi-byte character; `wide`
// counts those of three or more bytes (every kana and kanji).
bool IsUtf8Line(const uint8_t* text, size_t length, int* wide)
{
    bool multiByte = false;
    *wide = 0;
    for (size_t i = 0; i < length;) {
        if (text[i] < 0x80) {
            ++i;
            continue;
        }
        const size_t sequence = Utf8SequenceAt(text + i, length - i);
        if (sequence == 0)
            return false;
        multiByte = true;
        *wide += sequence >= 3 ? 1 : 0;
        i += sequence;
    }
    return multiByte;
}

// What the lines read so far say about the file's encoding.
struct EncodingTally {
    bool allUtf8 = true;        // every line holds ASCII or UTF-8 only
    bool allCp932 = true;
    int wide = 0;               // UTF-8 characters of three or more bytes
    int firstMultiByte = 0;     // the first line with a multi-byte UTF-8 character
    int firstForeign = 0;       // the first line that is no CP932
    bool foreignIsUtf8 = false; // ... and reads as UTF-8
};

void Tally(const ByteSpan& text, int number, EncodingTally* tally)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.begin);
    int wide = 0;
    const bool utf8 = IsUtf8Line(bytes, text.length, &wide);
    const bool cp932 = IsCp932Line(bytes, text.length);
    bool ascii = true;
    for (size_t i = 0; i < text.length; ++i)
        ascii = ascii && bytes[i] < 0x80;
    tally->allUtf8 = tally->allUtf8 && (utf8 || ascii);
    tally->allCp932 = tally->allCp932 && cp932;
    tally->wide += wide;
    if (utf8 && tally->firstMultiByte == 0)
        tally->firstMultiByte = number;
    if (!cp932 && tally->firstForeign == 0) {
        tally->firstForeign = number;
        tally->foreignIsUtf8 = utf8;
    }
}

} // namespace

// A file is UTF-8 when all its text reads as UTF-8 with kana or kanji in
// it. CP932 text is next to never valid UTF-8: a common kana or kanji has a
// lead byte that UTF-8 only continues with, and a JIS level-2 kanji before
// certain bytes makes one three-byte sequence by chance, but hardly two in
// a file that holds nothing else. Comments are not read: qvsetup never
// shows them. Lines are numbered, and dropped, as the profile reader does.
TextEncodingFinding FindForeignText(const std::string& bytes)
{
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return TextEncodingFinding{TextEncodingFault::None, 0};
    const size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    ProfileTextReader reader(bytes.data() + start, bytes.size() - start);
    EncodingTally tally;
    ProfileTextLine line;
    while (reader.Next(&line)) {
        if (!line.isComment)
            Tally(line.text, line.number, &tally);
    }
    if (tally.allUtf8 && tally.wide > 0 && (tally.wide > 1 || !tally.allCp932))
        return TextEncodingFinding{TextEncodingFault::LooksUtf8, tally.firstMultiByte};
    if (tally.firstForeign != 0)
        return TextEncodingFinding{tally.foreignIsUtf8 ? TextEncodingFault::LooksUtf8 : TextEncodingFault::NotCp932,
                                   tally.firstForeign};
    return TextEncodingFinding{TextEncodingFault::None, 0};
}
