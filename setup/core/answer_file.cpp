// The answers of an unattended run.
#include "setup/core/answer_file.h"

#include <cstdio>
#include <cstring>

#include "setup/core/dbcs.h"

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

AnswerFault ApplyDrive(const char* value, Answers* answers)
{
    return Judged(ReadDrive(value, &answers->cdromDrive));
}

AnswerFault ApplyDiscWait(const char* value, Answers* answers)
{
    return Judged(ReadSeconds(value, LongestDiscWaitSeconds, &answers->discWaitSeconds));
}

AnswerFault ApplyRestart(const char* value, Answers* answers)
{
    return Judged(ReadYesNo(value, &answers->restart));
}

AnswerFault ApplyResume(const char* value, Answers* answers)
{
    return Judged(ReadYesNo(value, &answers->resume));
}

AnswerFault ApplyProgTimeout(const char* value, Answers* answers)
{
    return Judged(ReadSeconds(value, LongestWaitSeconds, &answers->progTimeoutSeconds));
}

AnswerFault ApplyExistTimeout(const char* value, Answers* answers)
{
    return Judged(ReadSeconds(value, LongestWaitSeconds, &answers->existTimeoutSeconds));
}

AnswerFault ApplyLog(const char* value, Answers* answers)
{
    return CopyText(value, answers->logPath, sizeof answers->logPath);
}

AnswerFault ApplyResult(const char* value, Answers* answers)
{
    return CopyText(value, answers->resultPath, sizeof answers->resultPath);
}

const AnswerKey Keys[] = {
    {"Select", "DEFAULT", ApplySelect},
    {"CdromDrive", "AUTO", ApplyDrive},
    {"DiscWait", "300", ApplyDiscWait},
    {"Restart", "NO", ApplyRestart},
    {"Resume", "YES", ApplyResume},
    {"ProgTimeout", "3600", ApplyProgTimeout},
    {"ExistTimeout", "3600", ApplyExistTimeout},
    {"Log", "", ApplyLog},
    {"Result", "", ApplyResult},
};

} // namespace

const AnswerKey* AnswerKeys(size_t* count)
{
    *count = sizeof Keys / sizeof Keys[0];
    return Keys;
}

const AnswerKey* FindAnswerKey(const char* name)
{
    for (const AnswerKey& key : Keys) {
        if (EqualsIgnoreCase(key.name, name))
            return &key;
    }
    return nullptr;
}

void SetDefaultAnswers(Answers* answers)
{
    memset(answers, 0, sizeof *answers);
    for (const AnswerKey& key : Keys)
        key.apply(key.fallback, answers);
}

AnswerFault ApplyAnswer(const char* key, const char* value, Answers* answers)
{
    const AnswerKey* found = FindAnswerKey(key);
    return found ? found->apply(value, answers) : AnswerFault::UnknownKey;
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
