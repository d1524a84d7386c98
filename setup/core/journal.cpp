// The journal's text: a header line, one key a line, a check sum last.
#include "setup/core/journal.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

constexpr char Header[] = "QVSETUP JOURNAL 1\r\n";
constexpr char CheckKey[] = "Check=";
constexpr size_t CheckDigits = 8;
constexpr char LineEnd[] = "\r\n";
constexpr uint32_t FnvPrime = 16777619u;
constexpr size_t LineCapacity = PathCapacity + 64;


// Appends text to a block of fixed size; remembers when it did not fit.
class JournalText {
public:
    JournalText(char* text, size_t capacity) : text_(text), capacity_(capacity) {}

    void Line(const char* key, const char* value)
    {
        if (strpbrk(value, "\r\n"))
            fits_ = false;
        char line[LineCapacity + PathCapacity];
        snprintf(line, sizeof line, "%s=%s%s", key, value, LineEnd);
        Put(line);
    }

    void Number(const char* key, unsigned long value)
    {
        char digits[16];
        snprintf(digits, sizeof digits, "%lu", value);
        Line(key, digits);
    }

    void Put(const char* part)
    {
        const size_t length = strlen(part);
        if (used_ + length >= capacity_) {
            fits_ = false;
            return;
        }
        memcpy(text_ + used_, part, length + 1);
        used_ += length;
    }

    size_t Finish()
    {
        char check[32];
        snprintf(check, sizeof check, "%s%08lX%s", CheckKey,
                 static_cast<unsigned long>(ContentSum(text_, used_)), LineEnd);
        Put(check);
        return fits_ ? used_ : 0;
    }

private:
    char* text_;
    size_t capacity_;
    size_t used_ = 0;
    bool fits_ = true;
};

// Copies a value into a field; false when it does not fit.
bool Take(const char* value, size_t length, char* field, size_t capacity)
{
    if (length >= capacity)
        return false;
    memcpy(field, value, length);
    field[length] = '\0';
    return true;
}

// Only decimal digits, a value that fits in 32 bits.
bool TakeNumber(const char* value, size_t length, uint32_t* number)
{
    constexpr size_t LongestNumber = 10;
    constexpr uint64_t Largest = 0xFFFFFFFFu;
    if (length == 0 || length > LongestNumber)
        return false;
    uint64_t result = 0;
    for (size_t i = 0; i < length; ++i) {
        if (value[i] < '0' || value[i] > '9')
            return false;
        result = result * 10 + static_cast<uint64_t>(value[i] - '0');
    }
    if (result > Largest)
        return false;
    *number = static_cast<uint32_t>(result);
    return true;
}

bool TakeStatus(const char* value, size_t length, AppStatus* status)
{
    for (const AppStatusName& entry : AppStatusNames) {
        if (strlen(entry.name) == length && memcmp(entry.name, value, length) == 0) {
            *status = entry.status;
            return true;
        }
    }
    return false;
}

// App=STATUS,NEXT,SECONDS,NAME (the name last: an INF file name may hold commas).
bool TakeApp(const char* value, size_t length, Journal* journal)
{
    if (journal->appCount >= JournalAppCapacity)
        return false;
    JournalApp& app = journal->apps[journal->appCount];
    const char* end = value + length;
    const char* fields[3];
    size_t lengths[3];
    const char* at = value;
    for (int i = 0; i < 3; ++i) {
        const char* comma = static_cast<const char*>(memchr(at, ',', static_cast<size_t>(end - at)));
        if (!comma)
            return false;
        fields[i] = at;
        lengths[i] = static_cast<size_t>(comma - at);
        at = comma + 1;
    }
    uint32_t next = 0;
    if (!TakeStatus(fields[0], lengths[0], &app.status) || !TakeNumber(fields[1], lengths[1], &next) ||
        !TakeNumber(fields[2], lengths[2], &app.seconds) ||
        !Take(at, static_cast<size_t>(end - at), app.name, sizeof app.name) || app.name[0] == '\0')
        return false;
    app.nextCommand = static_cast<int32_t>(next);
    ++journal->appCount;
    return true;
}

// `count` numbers separated by commas, and nothing more.
bool TakeNumbers(const char* value, size_t length, uint32_t* numbers, int count)
{
    const char* end = value + length;
    for (int i = 0; i < count; ++i) {
        const char* comma = static_cast<const char*>(memchr(value, ',', static_cast<size_t>(end - value)));
        const char* fieldEnd = i + 1 < count ? comma : end;
        if (!fieldEnd || !TakeNumber(value, static_cast<size_t>(fieldEnd - value), &numbers[i]))
            return false;
        value = fieldEnd + 1;
    }
    return true;
}

// Inf=SIZE,SUM: the stamp of the application read last.
bool TakeStamp(const char* value, size_t length, Journal* journal)
{
    uint32_t numbers[2];
    if (journal->appCount == 0 || !TakeNumbers(value, length, numbers, 2))
        return false;
    JournalApp& app = journal->apps[journal->appCount - 1];
    app.stamped = true;
    app.infSize = numbers[0];
    app.infSum = numbers[1];
    return true;
}

// Resumed=COUNT,APP,COMMAND.
bool TakeResumes(const char* value, size_t length, Journal* journal)
{
    constexpr uint32_t LargestIndex = 0x7FFFFFFF;
    uint32_t numbers[3];
    if (!TakeNumbers(value, length, numbers, 3) || numbers[1] > LargestIndex || numbers[2] > LargestIndex)
        return false;
    journal->resumes = JournalResumes{numbers[0], static_cast<int32_t>(numbers[1]),
                                      static_cast<int32_t>(numbers[2])};
    return true;
}

// One key=value line of the body.
bool TakeLine(const char* line, size_t length, Journal* journal)
{
    const char* equals = static_cast<const char*>(memchr(line, '=', length));
    if (!equals)
        return false;
    const size_t keyLength = static_cast<size_t>(equals - line);
    const char* value = equals + 1;
    const size_t valueLength = length - keyLength - 1;
    const auto is = [&](const char* key) {
        return strlen(key) == keyLength && memcmp(key, line, keyLength) == 0;
    };
    if (is("Sequence"))
        return TakeNumber(value, valueLength, &journal->sequence);
    if (is("Run"))
        return Take(value, valueLength, journal->runId, sizeof journal->runId);
    if (is("Media"))
        return Take(value, valueLength, journal->sourceDir, sizeof journal->sourceDir);
    if (is("MasterInf"))
        return Take(value, valueLength, journal->masterInfPath, sizeof journal->masterInfPath);
    if (is("MasterSize"))
        return TakeNumber(value, valueLength, &journal->masterSize);
    if (is("MasterSum")) {
        journal->masterSummed = TakeNumber(value, valueLength, &journal->masterSum);
        return journal->masterSummed;
    }
    // A journal of an earlier qvsetup kept the master INF's time: its size alone is compared.
    if (is("MasterTime"))
        return TakeNumber(value, valueLength, &journal->masterSum);
    if (is("Cdrom")) {
        journal->cdromLetter = valueLength == 1 ? value[0] : '\0';
        return valueLength <= 1;
    }
    if (is("Answers"))
        return Take(value, valueLength, journal->answerFile, sizeof journal->answerFile);
    if (is("Seconds"))
        return TakeNumber(value, valueLength, &journal->seconds);
    if (is("Resumed"))
        return TakeResumes(value, valueLength, journal);
    if (is("Running")) {
        journal->commandRunning = valueLength == 1 && value[0] == '1';
        return journal->commandRunning;
    }
    if (is("App"))
        return TakeApp(value, valueLength, journal);
    if (is("Inf"))
        return TakeStamp(value, valueLength, journal);
    return false;
}

} // namespace

// FNV-1a: a cut or a changed byte gives another sum.
uint32_t ContentSum(const char* bytes, size_t size, uint32_t from)
{
    uint32_t sum = from;
    for (size_t i = 0; i < size; ++i)
        sum = (sum ^ static_cast<unsigned char>(bytes[i])) * FnvPrime;
    return sum;
}

size_t FormatJournal(const Journal& journal, char* text, size_t capacity)
{
    if (capacity == 0)
        return 0;
    JournalText out(text, capacity);
    out.Put(Header);
    out.Number("Sequence", journal.sequence);
    out.Line("Run", journal.runId);
    out.Line("Media", journal.sourceDir);
    out.Line("MasterInf", journal.masterInfPath);
    out.Number("MasterSize", journal.masterSize);
    if (journal.masterSummed)
        out.Number("MasterSum", journal.masterSum);
    const char letter[] = {journal.cdromLetter, '\0'};
    out.Line("Cdrom", letter);
    out.Line("Answers", journal.answerFile);
    out.Number("Seconds", journal.seconds);
    const JournalResumes& resumes = journal.resumes;
    char value[LineCapacity + PathCapacity];
    if (resumes.count > 0 && resumes.app >= 0 && resumes.command >= 0) {
        snprintf(value, sizeof value, "%lu,%ld,%ld", static_cast<unsigned long>(resumes.count),
                 static_cast<long>(resumes.app), static_cast<long>(resumes.command));
        out.Line("Resumed", value);
    }
    if (journal.commandRunning)
        out.Line("Running", "1");
    for (int32_t i = 0; i < journal.appCount && i < JournalAppCapacity; ++i) {
        const JournalApp& app = journal.apps[i];
        snprintf(value, sizeof value, "%s,%ld,%lu,%s", AppStatusText(app.status),
                 static_cast<long>(app.nextCommand), static_cast<unsigned long>(app.seconds), app.name);
        out.Line("App", value);
        if (app.stamped) {
            snprintf(value, sizeof value, "%lu,%lu", static_cast<unsigned long>(app.infSize),
                     static_cast<unsigned long>(app.infSum));
            out.Line("Inf", value);
        }
    }
    return out.Finish();
}

bool ReadJournalText(const char* bytes, size_t size, Journal* journal)
{
    memset(journal, 0, sizeof *journal);
    const size_t headerLength = strlen(Header);
    const size_t checkLength = strlen(CheckKey) + CheckDigits + strlen(LineEnd);
    if (size < headerLength + checkLength || memcmp(bytes, Header, headerLength) != 0)
        return false;
    const char* check = bytes + size - checkLength;
    char expected[32];
    snprintf(expected, sizeof expected, "%s%08lX%s", CheckKey,
             static_cast<unsigned long>(ContentSum(bytes, size - checkLength)), LineEnd);
    if (memcmp(check, expected, checkLength) != 0 || check[-1] != '\n')
        return false;
    for (const char* line = bytes + headerLength; line < check;) {
        const char* end = static_cast<const char*>(memchr(line, '\r', static_cast<size_t>(check - line)));
        if (!end || end[1] != '\n' || !TakeLine(line, static_cast<size_t>(end - line), journal))
            return false;
        line = end + 2;
    }
    return journal->sourceDir[0] != '\0' && journal->appCount > 0;
}

int ReadJournalCopies(const char* first, size_t firstSize, const char* second, size_t secondSize,
                      Journal* journal)
{
    Journal other;
    const bool firstWhole = ReadJournalText(first, firstSize, journal);
    const bool secondWhole = ReadJournalText(second, secondSize, &other);
    if (secondWhole && (!firstWhole || other.sequence > journal->sequence)) {
        memcpy(journal, &other, sizeof other);
        return 1;
    }
    return firstWhole ? 0 : -1;
}

int32_t CurrentJournalApp(const Journal& journal)
{
    for (const AppStatus wanted : {AppStatus::Running, AppStatus::NotReached}) {
        for (int32_t i = 0; i < journal.appCount; ++i) {
            if (journal.apps[i].status == wanted)
                return i;
        }
    }
    return -1;
}
