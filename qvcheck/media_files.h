// Reading the files of a medium safely: only plain files are opened (a
// name such as COM1 or AUX is a device, whose read may never end), and no
// read takes more than it is bounded to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Bytes read of an INF or a picture at most: more than any profile reader
// or picture loader takes.
constexpr size_t LargestReadFile = 64u << 20;

// True when `path` names a file on a disk: not a folder, and not a device
// (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with any extension).
bool IsPlainFile(const std::string& path);

// The first of `folders` (the discs) in which `probe`, a path without its
// drive, matches a file; empty when none holds it.
std::string DiscHolding(const std::string& probe, const std::vector<std::string>& folders);

// Up to `limit` bytes from the start of the plain file at `path`; false
// when it is no plain file or can't be read.
bool ReadPlainFile(const std::string& path, size_t limit, std::string* bytes);

// The plain file at `path` read from its start, piece by piece, each piece
// handed to `take`, up to `limit` bytes; false when it is no plain file or
// can't be read.
bool ReadPlainFileInPieces(const std::string& path, uint64_t limit,
                           const std::function<void(const char* piece, size_t size)>& take);
