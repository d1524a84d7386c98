// Checks of a background picture file.
#include "setup/core/bmp_header.h"

#include "common/byte_order.h"

namespace {

constexpr int32_t MaxSide = 16384;
constexpr uint32_t InfoHeaderSize = 40;

// Offsets in the info header.
enum InfoField : size_t { WidthField = 4, HeightField = 8, BitsField = 14, CompressionField = 16 };

} // namespace

bool CheckBmp(const uint8_t* data, size_t size, BmpLayout* layout)
{
    if (size < BmpColourTableOffset)
        return false;
    const uint8_t* info = data + BmpInfoOffset;
    const uint32_t headerSize = GetUi32(info);
    const auto width = static_cast<int32_t>(GetUi32(info + WidthField));
    const auto height = static_cast<int32_t>(GetUi32(info + HeightField));
    const uint16_t bitsPerPixel = GetUi16(info + BitsField);
    const uint32_t compression = GetUi32(info + CompressionField);
    if (headerSize != InfoHeaderSize || compression != 0)
        return false;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8)
        return false;
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide)
        return false;
    const uint32_t colours = 1u << bitsPerPixel;
    const uint64_t pixelOffset = BmpColourTableOffset + 4ull * colours;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset + rowBytes * static_cast<uint64_t>(height) > size)
        return false;
    *layout = BmpLayout{width, height, colours, static_cast<size_t>(pixelOffset)};
    return true;
}
