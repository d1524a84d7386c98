// The driver's table handling and typescan's reader together, on SMBIOS
// tables of real machines in all three file kinds.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/kit/smbios_data.h"
#include "typescan/model_query.h"
#include "typescan/table_link.h"

namespace {

std::vector<uint8_t> ReadTable(const std::string& name)
{
    std::ifstream file(std::string(QV_SMBIOS_DATA) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

TEST(BiospeekTable, RealTablesGiveWhatDmidecodeSees)
{
    for (const SmbiosReading& c : SmbiosReadings()) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> bytes = ReadTable(c.file);
        ASSERT_FALSE(bytes.empty());
        BiospeekTable table;
        ASSERT_TRUE(BiospeekFindTable(bytes.data(), bytes.size(), &table));
        TableLink link(table);
        SmbiosReader reader(link);
        EXPECT_EQ(reader.ReadProductName(), c.product);
        EXPECT_FALSE(reader.LastReadFailed());
        for (size_t n = 0; n < c.oem.size(); ++n)
            EXPECT_EQ(reader.ReadOemString(static_cast<int>(n)), c.oem[n]);
        if (c.oem.empty()) {
            reader.ReadOemString(0);
            EXPECT_TRUE(reader.LastReadFailed());
        }
        // typescan's whole question over the same table, as qvcheck asks it.
        const std::string exactly = std::string("/ALL=") + c.product;
        const char* shown[] = {"TYPESCAN.EXE", "/mode=0", "/d"};
        const char* matches[] = {"TYPESCAN.EXE", "/mode=0", exactly.c_str()};
        const char* misses[] = {"TYPESCAN.EXE", "/mode=0", "/ALL=PC-NONE"};
        const char* oem[] = {"TYPESCAN.EXE", "/mode=1,0", "/d"};
        EXPECT_EQ(AskModel(3, shown, reader).printed, std::string("Type1=") + c.product + "\n");
        EXPECT_EQ(AskModel(3, matches, reader).outcome, ModelOutcome::Match);
        EXPECT_EQ(AskModel(3, misses, reader).outcome, ModelOutcome::NoMatch);
        EXPECT_EQ(AskModel(3, oem, reader).outcome, c.oem.empty() ? ModelOutcome::Unread : ModelOutcome::Match);
    }
}

TEST(BiospeekTable, RequestsCheckTheirLengths)
{
    const std::vector<uint8_t> bytes = ReadTable("Dell-PowerEdge-R630-Dual-Xeon.dmi");
    BiospeekTable table;
    ASSERT_TRUE(BiospeekFindTable(bytes.data(), bytes.size(), &table));
    EXPECT_EQ(table.count, 72u);
    uint8_t out[64] = {};
    size_t returned = 0;
    EXPECT_FALSE(BiospeekAnswer(&table, 11, nullptr, 0, out, 11, &returned));
    EXPECT_TRUE(BiospeekAnswer(&table, 11, nullptr, 0, out, 12, &returned));
    EXPECT_EQ(returned, 12u);
    EXPECT_FALSE(BiospeekAnswer(&table, 12, nullptr, 0, out, sizeof out, &returned)); // 580 needed
    EXPECT_FALSE(BiospeekAnswer(&table, 14, nullptr, 0, out, sizeof out, &returned));
    // An entry that names no structure, or an input of the wrong size.
    const uint8_t bogus[8] = {1, 0xFF, 0xFF, 0x00, 10, 0, 0, 0};
    EXPECT_FALSE(BiospeekAnswer(&table, 13, bogus, 8, out, sizeof out, &returned));
    EXPECT_FALSE(BiospeekAnswer(&table, 13, bogus, 7, out, sizeof out, &returned));
    EXPECT_EQ(returned, 0u);
}

} // namespace

namespace {

TEST(BiospeekEntryPoint, FoundOnA16ByteBoundaryWithItsChecksum)
{
    std::vector<uint8_t> area(0x10000, 0);
    const std::vector<uint8_t> dump = ReadTable("Beelink-EQ12.dmi"); // begins with an _SM3_ point
    uint64_t address = 0;
    uint32_t length = 0;
    EXPECT_FALSE(BiospeekFindEntryPoint(area.data(), area.size(), &address, &length));
    std::copy(dump.begin(), dump.begin() + 24, area.begin() + 0x108); // not on a boundary
    EXPECT_FALSE(BiospeekFindEntryPoint(area.data(), area.size(), &address, &length));
    std::copy(dump.begin(), dump.begin() + 24, area.begin() + 0x200);
    ASSERT_TRUE(BiospeekFindEntryPoint(area.data(), area.size(), &address, &length));
    EXPECT_EQ(address, 0x20u);
    EXPECT_EQ(length, 0x16B1u);
    area[0x200 + 7] ^= 1; // the checksum no longer holds
    EXPECT_FALSE(BiospeekFindEntryPoint(area.data(), area.size(), &address, &length));
    // A legacy _DMI_ point: length 0x1234 at 0x000E0000.
    const uint8_t legacy[15] = {'_', 'D', 'M', 'I', '_', 0, 0x34, 0x12, 0, 0, 0x0E, 0, 1, 0, 0x21};
    std::copy(legacy, legacy + 15, area.begin() + 0xFFF0);
    uint8_t sum = 0;
    for (int i = 0; i < 15; ++i)
        sum = static_cast<uint8_t>(sum + area[0xFFF0 + i]);
    area[0xFFF0 + 5] = static_cast<uint8_t>(-sum);
    ASSERT_TRUE(BiospeekFindEntryPoint(area.data(), area.size(), &address, &length));
    EXPECT_EQ(address, 0xE0000u);
    EXPECT_EQ(length, 0x1234u);
}

} // namespace
