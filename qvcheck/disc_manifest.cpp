#include "qvcheck/disc_manifest.h"

#include <set>

#include "qvcheck/sha256.h"
#include "setup/core/dbcs.h"

namespace {

constexpr size_t DigestDigits = 64;
constexpr size_t LongestSizeDigits = 15;   // far beyond any disc, and within uint64_t

bool IsDigest(const std::string& text)
{
    if (text.size() != DigestDigits)
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// A path of the disc: parts between single backslashes, none empty, "." or "..".
bool IsDiscPath(const std::string& path)
{
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < path.size() && path[end] != '\\')
            end += IsLeadByte932(static_cast<unsigned char>(path[end])) && end + 1 < path.size() ? 2 : 1;
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (end >= path.size())
            return true;
        start = end + 1;
    }
}

bool ReadEntry(const std::string& line, int number, DiscManifestEntry* entry)
{
    const size_t afterDigest = line.find(' ');
    if (afterDigest == std::string::npos || !IsDigest(line.substr(0, afterDigest)))
        return false;
    const size_t afterSize = line.find(' ', afterDigest + 1);
    if (afterSize == std::string::npos)
        return false;
    const std::string size = line.substr(afterDigest + 1, afterSize - afterDigest - 1);
    if (size.empty() || size.size() > LongestSizeDigits ||
        size.find_first_not_of("0123456789") != std::string::npos)
        return false;
    entry->digest = line.substr(0, afterDigest);
    entry->size = 0;
    for (char digit : size)
        entry->size = entry->size * 10 + static_cast<uint64_t>(digit - '0');
    entry->path = line.substr(afterSize + 1);
    entry->line = number;
    return IsDiscPath(entry->path);
}

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

} // namespace

std::string DiscPathKey(const std::string& path)
{
    std::string key;
    for (size_t i = 0; i < path.size(); ++i) {
        const bool lead = IsLeadByte932(static_cast<unsigned char>(path[i])) && i + 1 < path.size();
        key += UpperAscii(path[i]);
        if (lead)
            key += path[++i];
    }
    return key;
}

namespace {

DiscManifest Faulty(DiscManifest manifest, ManifestFault fault, int line)
{
    manifest.fault = fault;
    manifest.faultLine = line;
    return manifest;
}

} // namespace

DiscManifest ReadDiscManifest(const std::string& bytes)
{
    DiscManifest manifest;
    std::set<std::string> seen;
    const std::string checkStart = std::string(DiscManifestCheckWord) + " ";
    size_t start = 0;
    int number = 0;
    while (start < bytes.size()) {
        ++number;
        size_t end = bytes.find('\n', start);
        const bool cut = end == std::string::npos;
        std::string line = bytes.substr(start, cut ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, checkStart.size(), checkStart) == 0) {
            if (cut || end + 1 != bytes.size())
                return Faulty(manifest, ManifestFault::NoCheckLine, number);
            if (line.substr(checkStart.size()) != Sha256Hex(bytes.substr(0, start)))
                return Faulty(manifest, ManifestFault::CheckFails, number);
            return manifest;
        }
        if (line.empty() || line[0] != ';') {
            DiscManifestEntry entry;
            if (!ReadEntry(line, number, &entry))
                return Faulty(manifest, ManifestFault::BadLine, number);
            if (!seen.insert(DiscPathKey(entry.path)).second)
                return Faulty(manifest, ManifestFault::PathTwice, number);
            manifest.entries.push_back(entry);
        }
        if (cut)
            break;
        start = end + 1;
    }
    return Faulty(manifest, ManifestFault::NoCheckLine, number);
}
