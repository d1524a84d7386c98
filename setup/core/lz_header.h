// The header of files compressed for the LZ expansion library (SZDD).
#pragma once

#include <cstddef>
#include <cstdint>

// Size of an SZDD header: magic (8), method, last character, length (4).
constexpr size_t SzddHeaderSize = 14;

// True when `header` (the first `size` bytes of a file) is an SZDD header;
// *length is then the expanded length it announces.
bool ReadSzddLength(const unsigned char* header, size_t size, uint32_t* length);
