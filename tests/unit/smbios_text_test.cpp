// The driver's answers and the strings of SMBIOS structures, read with every
// length checked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/kit/smbios_data.h"
#include "typescan/smbios_text.h"

namespace {

TEST(SmbiosText, ProductNameAndOemStrings)
{
    std::vector<uint8_t> system = SmbiosStructure({1, 8, 0, 0, 1, 2, 0, 0}, {"Maker", " PC-AB12 \t", "x"});
    std::string text;
    ASSERT_TRUE(ExtractProductName(system.data(), system.size(), &text));
    EXPECT_EQ(text, "PC-AB12");
    system[5] = 0;
    ASSERT_TRUE(ExtractProductName(system.data(), system.size(), &text));
    EXPECT_EQ(text, "");

    const std::vector<uint8_t> oem = SmbiosStructure({11, 5, 0, 0, 2}, {"A ", "B"});
    const char* expected[] = {"A ", "B", "", ""};
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(ExtractOemString(oem.data(), oem.size(), n, &text)) << n;
        EXPECT_EQ(text, expected[n]);
    }
}

TEST(SmbiosText, BrokenStructuresFailCleanly)
{
    std::string text;
    std::vector<uint8_t> system = SmbiosStructure({1, 8, 0, 0, 1, 1, 0, 0}, {"Name"});
    system[1] = 200; // formatted area past the structure
    EXPECT_FALSE(ExtractProductName(system.data(), system.size(), &text));
    system[1] = 8;
    system[5] = 9; // string number past the strings and the structure
    EXPECT_FALSE(ExtractProductName(system.data(), system.size() - 2, &text));
    // A string without its NUL inside the structure.
    const std::vector<uint8_t> cut = {1, 8, 0, 0, 1, 1, 0, 0, 'N', 'a'};
    EXPECT_FALSE(ExtractProductName(cut.data(), cut.size(), &text));
    const std::vector<uint8_t> oemCut = {11, 5, 0, 0, 1, 'A', 'B'};
    EXPECT_FALSE(ExtractOemString(oemCut.data(), oemCut.size(), 0, &text));
    EXPECT_FALSE(ExtractProductName(cut.data(), 5, &text));
}

TEST(SmbiosText, DirectorySizeAnswer)
{
    uint8_t answer[DirectorySizeBuffer] = {12, 0, 0, 0, 0, 0, 0, 0, 7, 1};
    uint16_t count = 0;
    EXPECT_TRUE(ReadDirectorySize(answer, 12, &count));
    EXPECT_EQ(count, 0x107);
    EXPECT_FALSE(ReadDirectorySize(answer, 16, &count)); // disagrees with its length field
    answer[0] = 16;
    EXPECT_FALSE(ReadDirectorySize(answer, 16, &count)); // longer than the layout
    answer[0] = 0;
    EXPECT_FALSE(ReadDirectorySize(answer, 0, &count));
}

} // namespace
