// Fuzz target: the driver's table walk and its three answers, on arbitrary
// bytes, with output buffers of exactly the size offered.
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" {
#include "biospeek/table.h"
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    BiospeekTable table;
    if (!BiospeekFindTable(bytes.data(), bytes.size(), &table))
        return 0;
    size_t returned = 0;
    std::vector<uint8_t> sizeAnswer(12);
    BiospeekAnswer(&table, BIOSPEEK_DIRECTORY_SIZE, nullptr, 0, sizeAnswer.data(), sizeAnswer.size(),
                   &returned);
    std::vector<uint8_t> directory(table.count * 8u + 4);
    if (!BiospeekAnswer(&table, BIOSPEEK_DIRECTORY, nullptr, 0, directory.data(), directory.size(),
                        &returned))
        __builtin_trap();
    for (uint32_t i = 0; i < table.count; ++i) {
        const uint8_t* entry = directory.data() + 4 + i * 8;
        const size_t length = entry[4] | entry[5] << 8;
        std::vector<uint8_t> structure(length + 4);
        if (!BiospeekAnswer(&table, BIOSPEEK_STRUCTURE, entry, 8, structure.data(), structure.size(),
                            &returned) || returned != length + 4)
            __builtin_trap();
    }
    return 0;
}
