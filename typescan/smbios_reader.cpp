// SmbiosReader: one SMBIOS string per read cycle through the DMI reader driver.
#include "typescan/smbios_reader.h"

#include <cstring>
#include <vector>

#include "biospeek/protocol.h"
#include "typescan/smbios_text.h"

namespace {

constexpr uint8_t ProductNameType = 1;
constexpr uint8_t OemStringsType = 11;

} // namespace

std::string SmbiosReader::ReadProductName()
{
    std::string structure;
    productName_.clear();
    bool ok = ReadStructure(ProductNameType, &structure);
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
    bool ok = ReadStructure(OemStringsType, &structure);
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
    uint8_t sizeAnswer[DirectorySizeBuffer] = {};
    uint32_t returned = 0;
    uint16_t count = 0;
    if (!link_.Request(BiospeekControlCode(isNt_, BIOSPEEK_REQUEST_DIRECTORY_SIZE), nullptr, 0,
                       sizeAnswer, sizeof sizeAnswer, &returned) ||
        !ReadDirectorySize(sizeAnswer, returned, &count))
        return false;

    const uint32_t directorySize = BiospeekDirectorySize(count);
    std::vector<uint8_t> directory(directorySize, 0);
    if (!link_.Request(BiospeekControlCode(isNt_, BIOSPEEK_REQUEST_DIRECTORY), nullptr, 0,
                       directory.data(), directorySize, &returned) ||
        returned != directorySize)
        return false;

    const uint8_t* entry = nullptr;
    for (uint32_t i = 0; i < count && !entry; ++i) {
        const uint8_t* candidate = directory.data() + BiospeekEntryOffset(i);
        if (EntryType(candidate) == type)
            entry = candidate;
    }
    if (!entry)
        return false;

    // A structure longer than the buffer is refused rather than cut.
    const uint32_t length = EntryLength(entry);
    if (length > StructureCapacity)
        return false;
    const uint32_t answerLength = length + BIOSPEEK_STRUCTURE_HEADER;
    std::vector<uint8_t> answer(BIOSPEEK_STRUCTURE_HEADER + StructureCapacity, 0);
    if (!link_.Request(BiospeekControlCode(isNt_, BIOSPEEK_REQUEST_STRUCTURE), entry,
                       BIOSPEEK_ENTRY_SIZE, answer.data(), answerLength, &returned) ||
        returned != answerLength || GetUi32(answer.data()) != answerLength)
        return false;
    structure->assign(reinterpret_cast<const char*>(answer.data() + BIOSPEEK_STRUCTURE_HEADER),
                      length);
    return true;
}
