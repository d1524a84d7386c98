// The DMI reader driver's answers and the strings of SMBIOS structures, read
// with every length checked. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The buffer offered for the directory-size answer, and the largest
// structure the reader takes.
constexpr size_t DirectorySizeBuffer = 260;
constexpr size_t StructureCapacity = 2048;

// The entry count of a directory-size answer of `returned` bytes: its first
// four bytes must equal `returned`, which must be the 12-byte layout.
bool ReadDirectorySize(const uint8_t* answer, uint32_t returned, uint16_t* count);

// Type and structure length of an 8-byte directory entry.
uint8_t EntryType(const uint8_t* entry);
uint16_t EntryLength(const uint8_t* entry);

// The product name (type 1, string number at offset 05h, trimmed), or OEM
// string n (type 11, counted from offset 05h). A string past the strings
// present is empty; false when a length or string points past the
// structure or a string has no terminating NUL inside it.
bool ExtractProductName(const uint8_t* structure, size_t size, std::string* name);
bool ExtractOemString(const uint8_t* structure, size_t size, int n, std::string* text);
