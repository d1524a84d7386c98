// Writing a file whole so that a power cut or a failed write never leaves
// it half-written: a new file beside it, written and flushed, takes its
// place.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes `length` bytes as the whole of the file at `path`, in place, and
// waits until they are on the disk; false when any step fails (a cut write
// leaves the file cut).
bool WriteFileFlushed(const char* path, const char* bytes, size_t length);

// How LandFileWhole put the bytes in place.
enum class Landing {
    Replaced,   // a new file took the place of the old one
    InPlace,    // the old one could not be replaced: the bytes were written into it
    Failed,
};

// Writes `length` bytes as the whole of the file at `path`: into a new file
// beside it, which then takes its place (on Windows 9x, which can't replace
// a file in one step, the old one is removed first); no new file is left
// beside it. While the file can't be replaced (a reader holds it open
// without letting it be deleted), tries again for `retryMs`, then writes
// the bytes into the file itself, which a reader that shares it for writing
// allows. `*tries` counts the attempts to replace it.
Landing LandFileWhole(const char* path, const char* bytes, size_t length, uint32_t retryMs,
                      uint32_t* tries);
