// A model condition, read by typescan's own parser.
#include "setup/core/model_condition.h"

#include "typescan/conditions.h"

namespace {

// The byte offset of each word of `value`, in the order ModelArguments gives them.
std::vector<size_t> WordOffsets(const char* value)
{
    std::vector<size_t> offsets;
    bool inWord = false, quoted = false;
    for (size_t i = 0; value[i] != '\0'; ++i) {
        const char c = value[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            inWord = false;
            continue;
        }
        if (!inWord)
            offsets.push_back(i);
        inWord = true;
        if (c == '"')
            quoted = !quoted;
    }
    return offsets;
}

// typescan's argument vector for `words`: the program, then the words.
std::vector<const char*> ArgumentVector(const std::vector<std::string>& words)
{
    std::vector<const char*> argv{"TYPESCAN"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    return argv;
}

} // namespace

std::vector<std::string> ModelArguments(const char* value)
{
    std::vector<std::string> words;
    for (size_t start : WordOffsets(value)) {
        std::string word;
        bool quoted = false;
        for (size_t i = start; value[i] != '\0'; ++i) {
            const char c = value[i];
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (!quoted && (c == ' ' || c == '\t'))
                break;
            word += c;
        }
        words.push_back(word);
    }
    return words;
}

std::string ModelConditionFault(const char* value, size_t* offset)
{
    *offset = 0;
    const std::vector<std::string> words = ModelArguments(value);
    const std::vector<size_t> offsets = WordOffsets(value);
    const std::vector<const char*> argv = ArgumentVector(words);
    const int argc = static_cast<int>(argv.size());
    if (argc < 2)
        return "no /mode and no condition";
    // typescan's C runtime reads \" as a quote inside a word: the words it
    // got would not be these.
    const std::string text(value);
    const size_t escaped = text.find("\\\"");
    if (escaped != std::string::npos) {
        *offset = escaped;
        return "a backslash before a quote, which typescan reads otherwise";
    }
    // Inside quotes it reads two quotes in a row as one quote of the word.
    const size_t doubled = text.find("\"\"");
    if (doubled != std::string::npos) {
        *offset = doubled;
        return "two quotes in a row, which typescan reads otherwise";
    }
    const ModeChoice mode = ParseMode(argc, argv[1]);
    if (mode.mode == ModeNone) {
        *offset = offsets[0];
        return mode.message;
    }
    // The word at fault is the first whose coming makes the command line wrong.
    ConditionList conditions;
    std::string message;
    for (int count = 3; count <= argc; ++count) {
        const int32_t parsed = ParseConditions(count, argv.data(), conditions, message);
        if (parsed == ConditionsDisplay)
            message = "/d prints the model number and tests nothing";
        if (parsed == ConditionsRefused || parsed == ConditionsDisplay) {
            *offset = offsets[count - 2];
            break;
        }
        message.clear();
    }
    if (argc == 2) {
        ParseConditions(argc, argv.data(), conditions, message);
        *offset = offsets[0];
    }
    return message;
}
