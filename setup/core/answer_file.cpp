// The answers of an unattended run.
#include "setup/core/answer_file.h"

#include <cstdio>
#include <cstring>

#include "setup/core/dbcs.h"
#include "setup/core/inf_line.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Only decimal digits, and no more than `largest`.
bool ReadSeconds(const char* text, uint32_t largest, uint32_t* seconds)
{
    if (*text == '\0')
        return false;
    uint32_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + static_cast<uint32_t>(*c - '0');
        if (value > largest)
            return false;
    }
    *seconds = value;
    return true;
}

// A drive letter, with or without its colon, or AUTO.
bool ReadDrive(const char* text, char* drive)
{
    if (EqualsIgnoreCase(text, "AUTO")) {
        *drive = AutoDrive;
        return true;
    }
    const char letter = text[0];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    if (!isLetter || !(text[1] == '\0' || (text[1] == ':' && text[2] == '\0')))
        return false;
    *drive = static_cast<char>(letter & ~0x20);
    return true;
}

bool ReadYesNo(const char* text, bool* yes)
{
    if (EqualsIgnoreCase(text, "YES") || EqualsIgnoreCase(text, "NO")) {
        *yes = EqualsIgnoreCase(text, "YES");
        return true;
    }
    return false;
}

AnswerFault CopyText(const char* value, char* out, size_t capacity)
{
    if (strlen(value) >= capacity)
        return AnswerFault::TooLong;
    memcpy(out, value, strlen(value) + 1);
    return AnswerFault::None;
}

// Select: DEFAULT, ALL, or a list with at least one name.
AnswerFault ApplySelect(const char* value, Answers* answers)
{
    if (EqualsIgnoreCase(value, "DEFAULT")) {
        answers->select = SelectAnswer::Default;
        return AnswerFault::None;
    }
    if (EqualsIgnoreCase(value, "ALL")) {
        answers->select = SelectAnswer::All;
        return AnswerFault::None;
    }
    if (EqualsIgnoreCase(value, "NONE")) {
        answers->select = SelectAnswer::Nothing;
        return AnswerFault::None;
    }
    // Every name is there: none empty, none after a last comma.
    const size_t length = strlen(value);
    if (length == 0 || value[length - 1] == ',')
        return AnswerFault::BadValue;
    const char* cursor = value;
    char name[PathCapacity];
    while (NextSelectName(&cursor, name, sizeof name)) {
        if (name[0] == '\0')
            return AnswerFault::BadValue;
    }
    const AnswerFault fault = CopyText(value, answers->selectNames, sizeof answers->selectNames);
    if (fault == AnswerFault::None)
        answers->select = SelectAnswer::Names;
    return fault;
}

AnswerFault Judged(bool valid)
{
    return valid ? AnswerFault::None : AnswerFault::BadValue;
}

} // namespace

void SetDefaultAnswers(Answers* answers)
{
    memset(answers, 0, sizeof *answers);
    answers->select = SelectAnswer::Default;
    answers->cdromDrive = AutoDrive;
    answers->discWaitSeconds = DefaultDiscWaitSeconds;
}

AnswerFault ApplyAnswer(const char* key, const char* value, Answers* answers)
{
    if (EqualsIgnoreCase(key, "Select"))
        return ApplySelect(value, answers);
    if (EqualsIgnoreCase(key, "CdromDrive"))
        return Judged(ReadDrive(value, &answers->cdromDrive));
    if (EqualsIgnoreCase(key, "DiscWait"))
        return Judged(ReadSeconds(value, LongestDiscWaitSeconds, &answers->discWaitSeconds));
    if (EqualsIgnoreCase(key, "Restart"))
        return Judged(ReadYesNo(value, &answers->restart));
    if (EqualsIgnoreCase(key, "ProgTimeout"))
        return Judged(ReadSeconds(value, LongestProgSeconds, &answers->progTimeoutSeconds));
    if (EqualsIgnoreCase(key, "Log"))
        return CopyText(value, answers->logPath, sizeof answers->logPath);
    if (EqualsIgnoreCase(key, "Result"))
        return CopyText(value, answers->resultPath, sizeof answers->resultPath);
    return AnswerFault::UnknownKey;
}

const char* AnswerFaultText(AnswerFault fault)
{
    switch (fault) {
    case AnswerFault::UnknownKey:
        return "unknown key";
    case AnswerFault::BadValue:
        return "value outside the key's set";
    case AnswerFault::TooLong:
        return "value too long";
    case AnswerFault::None:
        break;
    }
    return "no fault";
}

bool NextSelectName(const char** cursor, char* name, size_t capacity)
{
    const char* start = *cursor;
    if (*start == '\0' || capacity == 0)
        return false;
    const char* comma = strchr(start, ',');
    const char* end = comma ? comma : start + strlen(start);
    *cursor = comma ? comma + 1 : end;
    while (start < end && IsBlank(*start))
        ++start;
    while (end > start && IsBlank(end[-1]))
        --end;
    snprintf(name, capacity, "%.*s", static_cast<int>(end - start), start);
    return true;
}

const char* InfFileName(const char* infPath)
{
    const char* backslash = FindLastBackslash(infPath);
    return backslash ? backslash + 1 : infPath;
}
