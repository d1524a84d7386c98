// The manifest that make-disc writes at the root of a disc: one line per
// file (its SHA-256, its size in bytes and its path, CP932, with
// backslashes), comment lines that begin with ';', and a last line
// "CHECK <SHA-256>" of every byte before it, so that a damaged or edited
// manifest is known. Lines end with CR LF. No platform calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr char DiscManifestName[] = "QVDISC.SUM";
constexpr char DiscManifestCheckWord[] = "CHECK";

struct DiscManifestEntry {
    std::string digest;   // 64 lowercase hex digits
    uint64_t size;
    std::string path;     // below the disc's root, backslashes between its parts
    int line;             // from 1
};

enum class ManifestFault {
    None,
    BadLine,        // a line that is no entry, comment or check line
    NoCheckLine,    // the last line is no check line (a manifest cut short)
    CheckFails,     // the check line does not match the lines above
    PathTwice,      // two entries name one file (letters compared without case)
};

struct DiscManifest {
    std::vector<DiscManifestEntry> entries;
    ManifestFault fault = ManifestFault::None;
    int faultLine = 0;    // the line the fault is at
};

// The manifest in `bytes`; its fault tells whether it can be trusted.
DiscManifest ReadDiscManifest(const std::string& bytes);

// The key by which two paths of a disc name one file: ASCII letters in
// capitals, the second byte of a double-byte character as it is.
std::string DiscPathKey(const std::string& path);
