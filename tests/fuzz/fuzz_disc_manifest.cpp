// Fuzz target: a disc manifest's reading, on arbitrary bytes; what it
// accepts names each file once, with a digest of 64 hex digits.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "qvcheck/disc_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const DiscManifest manifest = ReadDiscManifest(std::string(reinterpret_cast<const char*>(data), size));
    std::set<std::string> keys;
    for (const DiscManifestEntry& entry : manifest.entries) {
        if (entry.digest.size() != 64 || entry.path.empty() || !keys.insert(DiscPathKey(entry.path)).second)
            __builtin_trap();
    }
    return 0;
}
