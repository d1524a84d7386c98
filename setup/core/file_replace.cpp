// Writing a file whole through a new file that takes its place.
#include "setup/core/file_replace.h"

#include <windows.h>

#include <cstring>

#include "common/owners.h"
#include "setup/core/dbcs.h"
#include "setup/core/records.h"

namespace {

constexpr char NewFilePrefix[] = "QVN";
constexpr DWORD RetryIntervalMs = 100;

// The folder of `path` ("." for a bare name); false when it does not fit.
bool FolderOf(const char* path, char (&folder)[PathCapacity])
{
    const char* backslash = FindLastBackslash(path);
    if (!backslash) {
        strcpy(folder, ".");
        return true;
    }
    // A root keeps its backslash: "C:\", "\".
    const bool root = backslash == path || backslash[-1] == ':';
    const size_t length = static_cast<size_t>(backslash - path) + (root ? 1 : 0);
    if (length >= sizeof folder)
        return false;
    memcpy(folder, path, length);
    folder[length] = '\0';
    return true;
}

// The new file takes the old one's place: in one step where the system can
// (the NT family), else by removing the old file first (Windows 9x has no
// MoveFileEx).
bool TakePlace(const char* newFile, const char* path)
{
    if (MoveFileExA(newFile, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return false;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
    return MoveFileA(newFile, path) != 0;
}

// Writes the bytes into a new file beside `path`, which then takes its
// place, tried for `retryMs`; no new file is left when it fails.
bool ReplaceTrying(const char* path, const char* bytes, size_t length, uint32_t retryMs,
                   uint32_t* tries)
{
    char folder[PathCapacity];
    char newFile[MAX_PATH];
    *tries = 0;
    if (!FolderOf(path, folder) || !GetTempFileNameA(folder, NewFilePrefix, 0, newFile))
        return false;
    if (WriteFileFlushed(newFile, bytes, length)) {
        const DWORD start = GetTickCount();
        for (;;) {
            ++*tries;
            if (TakePlace(newFile, path))
                return true;
            if (GetTickCount() - start >= retryMs)
                break;
            Sleep(RetryIntervalMs);
        }
    }
    DeleteFileA(newFile);
    return false;
}

// The bytes written into the file itself, shared with its readers.
bool WriteInPlace(const char* path, const char* bytes, size_t length)
{
    KernelHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file.get(), bytes, static_cast<DWORD>(length), &written, nullptr) &&
                       written == length && SetEndOfFile(file.get()) && FlushFileBuffers(file.get());
    return CloseHandle(file.Release()) && whole;
}

} // namespace

bool WriteFileFlushed(const char* path, const char* bytes, size_t length)
{
    KernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file.get(), bytes, static_cast<DWORD>(length), &written, nullptr) &&
                       written == length && FlushFileBuffers(file.get());
    return CloseHandle(file.Release()) && whole;
}

Landing LandFileWhole(const char* path, const char* bytes, size_t length, uint32_t retryMs,
                      uint32_t* tries)
{
    if (ReplaceTrying(path, bytes, length, retryMs, tries))
        return Landing::Replaced;
    return WriteInPlace(path, bytes, length) ? Landing::InPlace : Landing::Failed;
}
