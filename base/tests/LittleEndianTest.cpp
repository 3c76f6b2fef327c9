// SPDX-License-Identifier: MIT
#include "base/LittleEndian.h"

#include <gtest/gtest.h>

namespace {

TEST(LittleEndian, LowByteComesFirstAndHighBitsSurvive) {
    const std::vector<std::uint8_t> bytes{0xAA, 0x01, 0x02, 0x03, 0xF4};
    EXPECT_EQ(brelmont::ReadLe16(bytes, 1), 0x0201);
    EXPECT_EQ(brelmont::ReadLe32(bytes, 1), 0xF4030201u);
}

TEST(LittleEndian, WritesReadBackAtTheirPlaceOnly) {
    std::vector<std::uint8_t> bytes(8, 0x55);
    brelmont::WriteLe32(bytes, 1, 0x80FF0102u);
    brelmont::WriteLe16(bytes, 5, 0xBEEF);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x55, 0x02, 0x01, 0xFF, 0x80, 0xEF, 0xBE, 0x55}));
    brelmont::AppendLe32(bytes, 0xDEADBEEFu);
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(brelmont::ReadLe32(bytes, 8), 0xDEADBEEFu);
}

} // namespace
