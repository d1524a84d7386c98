// Writing a file whole so that a power cut or a failed write never leaves
// it half-written: a new file beside it, written and flushed, takes its
// place.
#pragma once

#include <cstddef>

// Writes `length` bytes as the whole of the file at `path`, in place, and
// waits until they are on the disk; false when any step fails (a cut write
// leaves the file cut).
bool WriteFileFlushed(const char* path, const char* bytes, size_t length);

// Writes `length` bytes as the whole of the file at `path`. False when any
// step fails; the file at `path` is then as it was (on Windows 9x, which
// can't replace a file in one step, it may be missing), and no new file is
// left beside it.
bool ReplaceFileWhole(const char* path, const char* bytes, size_t length);
