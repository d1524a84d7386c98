// Reading the files of a medium safely.
#include "qvcheck/media_files.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "common/owners.h"
#include "setup/core/dbcs.h"
#include "setup/core/inf_line.h"
#include "setup/core/paths.h"

namespace {

constexpr size_t ReadChunk = 65536;
constexpr size_t NumberedDeviceLength = 4;   // COM1, LPT9

// The name of a DOS device, which Windows finds in every folder: the part
// of the file name before its first dot, blanks at its end ignored.
bool IsDeviceName(const std::string& path)
{
    const char* slash = FindLastBackslash(path.c_str());
    std::string name = slash ? slash + 1 : path;
    name = name.substr(0, name.find('.'));
    name.erase(name.find_last_not_of(' ') + 1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
        if (SameName(name, device))
            return true;
    }
    return name.size() == NumberedDeviceLength &&
           (SameName(name.substr(0, 3), "COM") || SameName(name.substr(0, 3), "LPT")) &&
           name[3] >= '1' && name[3] <= '9';
}

} // namespace

bool IsPlainFile(const std::string& path)
{
    if (IsDeviceName(path))
        return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadPlainFileInPieces(const std::string& path, uint64_t limit,
                           const std::function<void(const char* piece, size_t size)>& take)
{
    if (!IsPlainFile(path))
        return false;
    const KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // Whatever the name, only a file on a disk is read: a read from a pipe
    // or a port could wait for ever.
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK)
        return false;
    char chunk[ReadChunk];
    for (uint64_t done = 0; done < limit;) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(sizeof chunk, limit - done));
        if (!ReadFile(file.get(), chunk, wanted, &read, nullptr))
            return false;
        if (read == 0)
            break;
        take(chunk, read);
        done += read;
    }
    return true;
}

bool ReadPlainFile(const std::string& path, size_t limit, std::string* bytes)
{
    bytes->clear();
    return ReadPlainFileInPieces(path, limit, [bytes](const char* piece, size_t size) {
        bytes->append(piece, size);
    });
}

std::string DiscHolding(const std::string& probe, const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        if (AnythingMatches((folder + probe).c_str()))
            return folder;
    }
    return std::string();
}
