// The checks of a background picture file.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "setup/core/bmp_header.h"

namespace {

// An uncompressed BMP with a 40-byte info header and a full colour table.
std::vector<uint8_t> Bmp(uint16_t bits, int32_t width, int32_t height)
{
    const size_t colours = bits <= 8 ? size_t{1} << bits : 0;
    const size_t rowBytes = (static_cast<size_t>(width > 0 ? width : 1) * bits + 31) / 32 * 4;
    std::vector<uint8_t> file(54 + 4 * colours + rowBytes * static_cast<size_t>(height > 0 ? height : 1));
    const uint32_t header = 40;
    memcpy(&file[14], &header, 4);
    memcpy(&file[18], &width, 4);
    memcpy(&file[22], &height, 4);
    file[26] = 1;
    memcpy(&file[28], &bits, 2);
    return file;
}

TEST(CheckBmp, AcceptsFullFilesOfAtMostEightBits)
{
    for (const uint16_t bits : {1, 4, 8}) {
        std::vector<uint8_t> file = Bmp(bits, 100, 50);
        BmpLayout layout = {};
        ASSERT_TRUE(CheckBmp(file.data(), file.size(), &layout)) << bits;
        EXPECT_EQ(layout.width, 100);
        EXPECT_EQ(layout.height, 50);
        EXPECT_EQ(layout.colours, 1u << bits);
        EXPECT_EQ(layout.pixelOffset, 54u + 4u * (1u << bits));
        // One byte short of the last row is refused.
        EXPECT_FALSE(CheckBmp(file.data(), file.size() - 1, &layout)) << bits;
    }
}

TEST(CheckBmp, RefusesWhatItCannotShowSafely)
{
    BmpLayout layout = {};
    const std::vector<uint8_t> refused[] = {
        Bmp(24, 10, 10),  Bmp(16, 10, 10), Bmp(0, 10, 10), Bmp(2, 10, 10),
        Bmp(8, -10, 10),  Bmp(8, 10, -10), Bmp(8, 0, 10),  Bmp(8, 100000, 1),
        Bmp(8, 1, 100000),
    };
    for (const auto& file : refused)
        EXPECT_FALSE(CheckBmp(file.data(), file.size(), &layout));
    std::vector<uint8_t> compressed = Bmp(8, 4, 4);
    compressed[30] = 1; // BI_RLE8
    EXPECT_FALSE(CheckBmp(compressed.data(), compressed.size(), &layout));
    std::vector<uint8_t> core = Bmp(8, 4, 4);
    core[14] = 12; // an OS/2 core header
    EXPECT_FALSE(CheckBmp(core.data(), core.size(), &layout));
    EXPECT_FALSE(CheckBmp(core.data(), 53, &layout));
    // A huge size whose byte count would overflow 32 bits.
    std::vector<uint8_t> huge = Bmp(8, 16384, 1);
    const int32_t side = 16384;
    memcpy(&huge[22], &side, 4);
    EXPECT_FALSE(CheckBmp(huge.data(), huge.size(), &layout));
}

} // namespace
