// SHA-256 (FIPS 180-4), fed in pieces: the digests of a disc's manifest.
// No platform calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
public:
    Sha256();
    void Add(const void* data, size_t size);
    // The digest of everything added, as 64 lowercase hex digits; the
    // object is spent afterwards.
    std::string HexDigest();

private:
    void Compress(const uint8_t* block);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> block_;
    size_t filled_ = 0;
    uint64_t bytes_ = 0;
};

// The digest of `text`, as 64 lowercase hex digits.
std::string Sha256Hex(const std::string& text);
