// Fuzz target: the background picture checks. Whatever the bytes, a file
// that passes must hold its whole colour table and every pixel row.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "setup/core/bmp_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly `size` bytes, so that a read past the end is caught.
    std::vector<uint8_t> file(data, data + size);
    BmpLayout layout;
    if (!CheckBmp(file.data(), file.size(), &layout))
        return 0;
    const uint16_t bits = static_cast<uint16_t>(file[28] | file[29] << 8);
    const uint64_t rowBytes = (static_cast<uint64_t>(layout.width) * bits + 31) / 32 * 4;
    const uint64_t end = layout.pixelOffset + rowBytes * static_cast<uint64_t>(layout.height);
    if (layout.pixelOffset != BmpColourTableOffset + 4u * layout.colours || end > size ||
        layout.width <= 0 || layout.height <= 0)
        __builtin_trap();
    // Touch the last pixel byte the platform would read.
    volatile uint8_t last = file[static_cast<size_t>(end) - 1];
    (void)last;
    return 0;
}
