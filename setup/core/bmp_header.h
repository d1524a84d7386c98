// Checks of a background picture file (Windows BMP of at most 8 bits per
// pixel) before any of it is handed to the platform.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t BmpInfoOffset = 14;
constexpr size_t BmpColourTableOffset = 54;

struct BmpLayout {
    int32_t width;
    int32_t height;
    uint32_t colours;        // 2^bpp entries in the colour table at offset 54
    size_t pixelOffset;      // right after the full colour table
};

// True when the file's bytes hold a 40-byte info header of an uncompressed
// 1-, 4- or 8-bit picture of sensible size, its full colour table and all of
// its pixel rows; `layout` then says where they are. Everything else (a
// short file, more bits, a negative or huge size, compression) is refused.
bool CheckBmp(const uint8_t* data, size_t size, BmpLayout* layout);
