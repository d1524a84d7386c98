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
    std::vector<uint8_t> sizeAnswer(BIOSPEEK_SIZE_ANSWER_LENGTH);
    BiospeekAnswer(&table, BIOSPEEK_REQUEST_DIRECTORY_SIZE, nullptr, 0, sizeAnswer.data(),
                   sizeAnswer.size(), &returned);
    std::vector<uint8_t> directory(BiospeekDirectorySize(table.count));
    if (!BiospeekAnswer(&table, BIOSPEEK_REQUEST_DIRECTORY, nullptr, 0, directory.data(),
                        directory.size(), &returned))
        __builtin_trap();
    for (uint32_t i = 0; i < table.count; ++i) {
        const uint8_t* entry = directory.data() + BiospeekEntryOffset(i);
        const size_t length = GetUi16(entry + BIOSPEEK_ENTRY_LENGTH);
        std::vector<uint8_t> structure(length + BIOSPEEK_STRUCTURE_HEADER);
        if (!BiospeekAnswer(&table, BIOSPEEK_REQUEST_STRUCTURE, entry, BIOSPEEK_ENTRY_SIZE,
                            structure.data(), structure.size(), &returned) ||
            returned != structure.size())
            __builtin_trap();
    }
    return 0;
}
