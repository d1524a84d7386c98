// SmbiosReader: one SMBIOS string per read cycle through the DMI reader driver.
#include "typescan/smbios_reader.h"

#include <cstring>
#include <vector>

#include "typescan/smbios_text.h"

namespace {

constexpr uint32_t kDirectorySizeRequest = 11;
constexpr uint32_t kDirectoryRequest = 12;
constexpr uint32_t kStructureRequest = 13;

} // namespace

uint32_t DriverRequestCode(bool isNt, uint32_t k)
{
    // CTL_CODE(0x8000, 0x800 + k, METHOD_BUFFERED, FILE_ANY_ACCESS)
    return isNt ? (0x8000u << 16) | ((0x800u + k) << 2) : k;
}

std::string SmbiosReader::ReadProductName()
{
    std::string structure;
    productName_.clear();
    bool ok = ReadStructure(1, &structure);
    const auto* bytes = reinterpret_cast<const uint8_t*>(structure.data());
    ok = ok && ExtractProductName(bytes, structure.size(), &productName_);
    if (!ok)
        productName_.clear();
    lastResult_ = ok ? 0 : -1;
    return productName_;
}

std::string SmbiosReader::ReadOemString(int n)
{
    std::string structure;
    oemString_.clear();
    bool ok = ReadStructure(11, &structure);
    const auto* bytes = reinterpret_cast<const uint8_t*>(structure.data());
    ok = ok && ExtractOemString(bytes, structure.size(), n, &oemString_);
    if (!ok)
        oemString_.clear();
    lastResult_ = ok ? 0 : -1;
    return oemString_;
}

bool SmbiosReader::ReadStructure(uint8_t type, std::string* structure)
{
    isNt_ = link_.IsNt();
    const bool ok = link_.Open() && RequestStructure(type, structure);
    link_.Close();
    return ok;
}

bool SmbiosReader::RequestStructure(uint8_t type, std::string* structure)
{
    uint8_t sizeAnswer[kDirectorySizeBuffer] = {};
    uint32_t returned = 0;
    uint16_t count = 0;
    if (!link_.Request(DriverRequestCode(isNt_, kDirectorySizeRequest), nullptr, 0, sizeAnswer,
                       sizeof sizeAnswer, &returned) ||
        !ReadDirectorySize(sizeAnswer, returned, &count))
        return false;

    const uint32_t directorySize = count * kStructureEntrySize + 4;
    std::vector<uint8_t> directory(directorySize, 0);
    if (!link_.Request(DriverRequestCode(isNt_, kDirectoryRequest), nullptr, 0, directory.data(),
                       directorySize, &returned) ||
        returned != directorySize)
        return false;

    const uint8_t* entry = nullptr;
    for (uint32_t i = 0; i < count && !entry; ++i) {
        const uint8_t* candidate = directory.data() + 4 + i * kStructureEntrySize;
        if (EntryType(candidate) == type)
            entry = candidate;
    }
    if (!entry)
        return false;

    // A structure longer than the buffer is refused rather than cut.
    const uint32_t length = EntryLength(entry);
    if (length > kStructureCapacity)
        return false;
    std::vector<uint8_t> answer(4 + kStructureCapacity, 0);
    if (!link_.Request(DriverRequestCode(isNt_, kStructureRequest), entry, kStructureEntrySize,
                       answer.data(), length + 4, &returned) ||
        returned != length + 4 || ReadLe32(answer.data()) != length + 4)
        return false;
    structure->assign(reinterpret_cast<const char*>(answer.data() + 4), length);
    return true;
}
