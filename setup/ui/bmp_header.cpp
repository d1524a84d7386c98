// Checks of a background picture file.
#include "setup/ui/bmp_header.h"

namespace {

constexpr int32_t kMaxSide = 16384;

uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadLe16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

bool CheckBmp(const uint8_t* data, size_t size, BmpLayout* layout)
{
    if (size < kBmpColourTableOffset)
        return false;
    const uint8_t* info = data + kBmpInfoOffset;
    const uint32_t headerSize = ReadLe32(info);
    const auto width = static_cast<int32_t>(ReadLe32(info + 4));
    const auto height = static_cast<int32_t>(ReadLe32(info + 8));
    const uint16_t bitsPerPixel = ReadLe16(info + 14);
    const uint32_t compression = ReadLe32(info + 16);
    if (headerSize != 40 || compression != 0)
        return false;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8)
        return false;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    const uint32_t colours = 1u << bitsPerPixel;
    const uint64_t pixelOffset = kBmpColourTableOffset + 4ull * colours;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset + rowBytes * static_cast<uint64_t>(height) > size)
        return false;
    *layout = BmpLayout{width, height, colours, static_cast<size_t>(pixelOffset)};
    return true;
}
