// The SZDD header of compressed files.
#include <gtest/gtest.h>

#include "setup/core/lz_header.h"

namespace {

TEST(ReadSzddLength, OnlyAWholeHeaderCounts)
{
    const unsigned char header[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 't',
                                    0x45, 0x36, 0x01, 0x00};
    uint32_t length = 0;
    EXPECT_TRUE(ReadSzddLength(header, sizeof header, &length));
    EXPECT_EQ(length, 0x13645u);
    EXPECT_FALSE(ReadSzddLength(header, sizeof header - 1, &length));
    unsigned char other[sizeof header];
    memcpy(other, header, sizeof header);
    other[4] = 0x89;
    EXPECT_FALSE(ReadSzddLength(other, sizeof other, &length));
}

} // namespace
