#include "qvcheck/check_manifest.h"

#include <windows.h>

#include <cstdint>
#include <map>

#include "common/owners.h"
#include "qvcheck/disc_manifest.h"
#include "qvcheck/media_files.h"
#include "qvcheck/sha256.h"

namespace {

constexpr int FirstColumn = 1;   // a finding about a manifest line points at its start

// {key: path below `root`} of every file below `folder`, `prefix` before each.
void ListFiles(const std::string& root, const std::string& prefix, std::map<std::string, std::string>* files)
{
    WIN32_FIND_DATAA found;
    const std::string folder = prefix.empty() ? root : root + "\\" + prefix;
    const FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search.valid())
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = prefix.empty() ? name : prefix + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(root, path, files);
        else
            (*files)[DiscPathKey(path)] = path;
    } while (FindNextFileA(search.get(), &found));
}

// The size and SHA-256 of a file, read once; false when it can't be read.
bool HashFile(const std::string& path, uint64_t* size, std::string* digest)
{
    Sha256 hash;
    *size = 0;
    const bool read = ReadPlainFileInPieces(path, UINT64_MAX, [&](const char* piece, size_t bytes) {
        hash.Add(piece, bytes);
        *size += bytes;
    });
    if (read)
        *digest = hash.HexDigest();
    return read;
}

void CheckEntry(const std::string& folder, const std::string& manifestPath, const DiscManifestEntry& entry,
                std::map<std::string, std::string>& files, Report& report)
{
    const auto here = files.find(DiscPathKey(entry.path));
    if (here == files.end()) {
        report.Add(manifestPath, entry.line, FirstColumn, Severity::Warning, say::ManifestMissing(entry.path));
        return;
    }
    const std::string path = folder + "\\" + here->second;
    files.erase(here);
    uint64_t size = 0;
    std::string digest;
    const bool read = HashFile(path, &size, &digest);
    if (!read || size != entry.size || digest != entry.digest)
        report.Add(path, 0, 0, Severity::Warning, say::ManifestDiffers(entry.line, read && size != entry.size, !read));
}

void CheckDiscManifest(const std::string& folder, Report& report)
{
    const std::string manifestPath = folder + "\\" + DiscManifestName;
    std::string bytes;
    if (!IsPlainFile(manifestPath))
        return;
    const DiscManifest manifest = ReadPlainFile(manifestPath, LargestReadFile, &bytes)
                                      ? ReadDiscManifest(bytes)
                                      : DiscManifest{{}, ManifestFault::NoCheckLine, 0};
    if (manifest.fault != ManifestFault::None) {
        report.Add(manifestPath, manifest.faultLine, FirstColumn, Severity::Warning, say::ManifestDamaged(manifest.fault));
        return;
    }
    std::map<std::string, std::string> files;
    ListFiles(folder, "", &files);
    files.erase(DiscPathKey(DiscManifestName));
    for (const DiscManifestEntry& entry : manifest.entries)
        CheckEntry(folder, manifestPath, entry, files, report);
    for (const auto& extra : files)
        report.Add(folder + "\\" + extra.second, 0, 0, Severity::Warning, say::ManifestExtra());
}

} // namespace

void CheckDiscManifests(const std::vector<std::string>& folders, Report& report)
{
    for (const std::string& folder : folders)
        CheckDiscManifest(folder, report);
}
