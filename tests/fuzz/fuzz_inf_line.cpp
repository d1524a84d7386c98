// Fuzz target: the INF line splitter, the whole-text expansion, escape
// rewriting and keyword lookup on arbitrary bytes, with field capacities
// taken from the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "setup/core/inf_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the field count and a capacity scale, so that
    // small and large fields are both exercised.
    const int maxFields = 1 + data[0] % 5;
    const size_t scale = 1 + data[1] % 64;
    data += 2;
    size -= 2;

    std::vector<char> line(data, data + size);
    line.push_back('\0');

    std::vector<std::vector<char>> storage;
    std::vector<char*> fields;
    std::vector<size_t> capacities;
    for (int k = 0; k < maxFields; ++k) {
        const size_t capacity = scale * static_cast<size_t>(k + 1);
        storage.emplace_back(capacity, 'u');
        capacities.push_back(capacity);
    }
    for (auto& s : storage)
        fields.push_back(s.data());

    const MacroValues macros = {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32", "C:\\Program Files",
                                CdromPlaceholder, 'C', 'C', 'A'};
    uint32_t macroUse = 0;
    if (TokenizeLine(fields.data(), capacities.data(), maxFields, &macroUse, line.data(), macros)) {
        for (int k = 0; k < maxFields; ++k) {
            // A field written by the splitter is terminated within its capacity.
            if (storage[k][0] != 'u' && !memchr(storage[k].data(), 0, capacities[k]))
                __builtin_trap();
        }
        LookupKeyword(fields[0]);
        ReplaceChar(fields[0], CdromPlaceholder, 'E');
    }

    // The whole-text expansion stays within its capacity and terminates.
    std::vector<char> whole(scale, 'u');
    if (ExpandWholeText(line.data(), whole.data(), whole.size(), macros) &&
        !memchr(whole.data(), 0, whole.size()))
        __builtin_trap();

    const size_t before = strlen(line.data());
    UnescapeText(line.data());
    if (strlen(line.data()) > before)
        __builtin_trap();
    return 0;
}
