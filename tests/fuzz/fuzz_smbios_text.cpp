// Fuzz target: typescan's reading of driver answers and SMBIOS strings.
// The structure is copied into a buffer of exactly its size, so that any
// read past it is caught.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "biospeek/protocol.h"
#include "typescan/smbios_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int n = data[0] % 12;
    std::vector<uint8_t> structure(data + 1, data + size);
    std::string text;
    ExtractProductName(structure.data(), structure.size(), &text);
    ExtractOemString(structure.data(), structure.size(), n, &text);
    if (structure.size() >= BIOSPEEK_SIZE_ANSWER_LENGTH) {
        uint16_t count = 0;
        ReadDirectorySize(structure.data(), static_cast<uint32_t>(structure.size()), &count);
    }
    return 0;
}
