// SmbiosReader against a scripted driver: good answers, and each broken
// layout failing the read cycle cleanly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "biospeek/protocol.h"
#include "tests/kit/smbios_data.h"
#include "typescan/smbios_reader.h"

namespace {

// Answers the three requests from a list of structures; each field can be
// broken on purpose.
class FakeDriver : public DriverLink {
public:
    std::vector<std::vector<uint8_t>> structures;
    bool nt = true;
    bool opens = true;
    uint32_t sizeLengthField = 12;   // first four bytes of the directory-size answer
    uint32_t sizeReturned = 12;
    int countAdjust = 0;             // added to the count in the directory-size answer
    uint32_t entryLength = 0;        // non-zero: every entry claims this length
    int opened = 0, closed = 0;
    std::vector<uint32_t> codes;

    bool IsNt() override { return nt; }
    bool Open() override
    {
        ++opened;
        return opens;
    }
    void Close() override { ++closed; }

    bool Request(uint32_t code, const void* input, uint32_t, void* output, uint32_t outputSize,
                 uint32_t* returned) override
    {
        codes.push_back(code);
        auto* out = static_cast<uint8_t*>(output);
        const uint32_t k = nt ? BiospeekRequestOfCode(code) : code;
        if (k == BIOSPEEK_REQUEST_DIRECTORY_SIZE) {
            const uint16_t count = static_cast<uint16_t>(structures.size() + countAdjust);
            memcpy(out, &sizeLengthField, 4);
            memcpy(out + 8, &count, 2);
            *returned = sizeReturned;
            return true;
        }
        if (k == BIOSPEEK_REQUEST_DIRECTORY) {
            const uint32_t needed = static_cast<uint32_t>(structures.size() * 8 + 4);
            for (size_t i = 0; i < structures.size() && 4 + i * 8 + 8 <= outputSize; ++i) {
                uint8_t* entry = out + 4 + i * 8;
                entry[0] = structures[i][0];
                entry[1] = static_cast<uint8_t>(i);
                const uint16_t length = static_cast<uint16_t>(entryLength ? entryLength : structures[i].size());
                memcpy(entry + 4, &length, 2);
            }
            *returned = needed;
            return true;
        }
        const auto* entry = static_cast<const uint8_t*>(input);
        const std::vector<uint8_t>& s = structures[entry[1]];
        if (outputSize < s.size() + 4)
            return false;
        const uint32_t length = static_cast<uint32_t>(s.size() + 4);
        memcpy(out, &length, 4);
        memcpy(out + 4, s.data(), s.size());
        *returned = length;
        return true;
    }
};

class Reader : public testing::Test {
protected:
    void SetUp() override
    {
        driver.structures = {SmbiosStructure({0, 4, 0, 0}, {"BIOS"}),
                             SmbiosStructure({1, 8, 1, 0, 1, 2, 0, 0}, {"Maker", "PC-AB12CDEFGH  "}),
                             SmbiosStructure({11, 5, 2, 0, 2}, {"First ", "Second"})};
    }
    FakeDriver driver;
};

TEST_F(Reader, ReadsProductNameAndOemStrings)
{
    SmbiosReader reader(driver);
    EXPECT_EQ(reader.ReadProductName(), "PC-AB12CDEFGH");
    EXPECT_FALSE(reader.LastReadFailed());
    EXPECT_EQ(reader.ReadOemString(0), "First ");
    EXPECT_EQ(reader.ReadOemString(1), "Second");
    EXPECT_EQ(reader.ReadOemString(2), "");
    EXPECT_FALSE(reader.LastReadFailed());
    EXPECT_EQ(driver.opened, 4);
    EXPECT_EQ(driver.closed, 4);
    EXPECT_EQ(driver.codes[0], 0x8000202Cu);
    EXPECT_EQ(driver.codes[1], 0x80002030u);
    EXPECT_EQ(driver.codes[2], 0x80002034u);
}

TEST_F(Reader, Windows9xUsesPlainRequestNumbers)
{
    driver.nt = false;
    SmbiosReader reader(driver);
    EXPECT_EQ(reader.ReadProductName(), "PC-AB12CDEFGH");
    EXPECT_EQ(driver.codes, (std::vector<uint32_t>{11, 12, 13}));
}

TEST_F(Reader, BrokenAnswersFailTheCycle)
{
    struct Break {
        const char* what;
        void (*apply)(FakeDriver&);
    };
    const Break breaks[] = {
        {"open fails", [](FakeDriver& d) { d.opens = false; }},
        {"length field disagrees", [](FakeDriver& d) { d.sizeLengthField = 16; }},
        {"answer longer than 12 bytes", [](FakeDriver& d) { d.sizeLengthField = d.sizeReturned = 16; }},
        {"count disagrees", [](FakeDriver& d) { d.countAdjust = 1; }},
        {"entry longer than 2048", [](FakeDriver& d) { d.entryLength = 2049; }},
        {"no type 11", [](FakeDriver& d) { d.structures.pop_back(); }},
        {"strings run off the end",
         [](FakeDriver& d) { d.structures[2] = {11, 5, 2, 0, 2, 'A', 'B', 'C'}; }},
    };
    for (const Break& b : breaks) {
        SetUp();
        b.apply(driver);
        driver.opened = driver.closed = 0;
        SmbiosReader reader(driver);
        EXPECT_EQ(reader.ReadOemString(0), "") << b.what;
        EXPECT_TRUE(reader.LastReadFailed()) << b.what;
        EXPECT_EQ(driver.closed, 1) << b.what; // the driver is unloaded on every path
    }
}

} // namespace
