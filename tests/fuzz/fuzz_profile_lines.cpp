// Fuzz target: qvcheck's reading of an INF file's lines, on arbitrary bytes;
// every line it finds must stand inside the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "qvcheck/profile_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ProfileFile file(bytes);
    for (const ProfileSection& section : file.sections()) {
        for (const ProfileLine& line : section.lines) {
            if (line.number <= section.number || static_cast<size_t>(line.number) > size)
                __builtin_trap();
        }
        for (size_t i = 0; file.SectionLine(section.name, i); ++i) {
        }
    }
    return 0;
}
