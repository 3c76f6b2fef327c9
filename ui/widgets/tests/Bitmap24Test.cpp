// SPDX-License-Identifier: MIT
#include "ui/widgets/Bitmap24.h"

#include "base/testing/RowName.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Every pixel distinct, so any misplaced row or column shows.
TBitmap24 Gradient(int width, int height) {
    TBitmap24 picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.SetPixel(x, y, (x * 7 + 1) | (y * 5 + 2) << 8 | (x + y) << 16);
        }
    }
    return picture;
}

TEST(Bitmap24File, WritesHeadersBottomUpRowsAndZeroPadding) {
    const TBitmap24 picture = Gradient(5, 3); // 15 bytes a row, padded to 16
    const auto bytes = picture.SaveToBmp();
    ASSERT_EQ(bytes.size(), 54u + 16u * 3u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Get32(bytes, 2), bytes.size());
    EXPECT_EQ(Get32(bytes, 10), 54u);
    EXPECT_EQ(Get32(bytes, 14), 40u);
    EXPECT_EQ(Get32(bytes, 18), 5u);
    EXPECT_EQ(Get32(bytes, 22), 3u);
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(Get32(bytes, 30), 0u);
    EXPECT_EQ(Get32(bytes, 34), 48u);
    // The first row in the file is the picture's bottom row, blue byte first.
    EXPECT_EQ(bytes[54], picture.Row(2)[0]);
    EXPECT_EQ(bytes[54 + 2], static_cast<std::uint8_t>(picture.Pixel(0, 2)));
    EXPECT_EQ(bytes[54 + 16], picture.Row(1)[0]);
    EXPECT_EQ(bytes[54 + 15], 0);
}

TEST(Bitmap24File, RoundTripsPicturesOfEveryPadding) {
    for (int width = 1; width <= 5; ++width) {
        const TBitmap24 picture = Gradient(width, 4);
        const auto bytes = picture.SaveToBmp();
        EXPECT_EQ(TBitmap24::LoadFromBmp(bytes), picture) << width;
        EXPECT_EQ(TBitmap24::LoadFromBmp(bytes).SaveToBmp(), bytes) << width;
    }
    EXPECT_TRUE(TBitmap24::LoadFromBmp({}).Empty());
    EXPECT_TRUE(TBitmap24().SaveToBmp().empty());
}

TEST(Bitmap24File, ColourValueIsRedPlusGreenTimes256PlusBlueTimes65536) {
    TBitmap24 picture(1, 1);
    picture.Row(0)[0] = 0x03; // blue
    picture.Row(0)[1] = 0x02; // green
    picture.Row(0)[2] = 0x01; // red
    EXPECT_EQ(picture.Pixel(0, 0), 0x030201);
}

TEST(Bitmap24File, ReadsTopDownRowsAndLongerInformationHeaders) {
    const TBitmap24 picture = Gradient(3, 2);
    auto bytes = picture.SaveToBmp();
    auto topDown = bytes;
    Put32(topDown, 22, static_cast<std::uint32_t>(-2));
    std::copy(bytes.begin() + 54, bytes.begin() + 66, topDown.begin() + 66);
    std::copy(bytes.begin() + 66, bytes.begin() + 78, topDown.begin() + 54);
    EXPECT_EQ(TBitmap24::LoadFromBmp(topDown), picture);

    std::vector<std::uint8_t> v5(14 + 124, 0);
    std::copy(bytes.begin(), bytes.begin() + 54, v5.begin());
    v5.insert(v5.end(), bytes.begin() + 54, bytes.end());
    Put32(v5, 2, static_cast<std::uint32_t>(v5.size()));
    Put32(v5, 10, 14 + 124);
    Put32(v5, 14, 124);
    EXPECT_EQ(TBitmap24::LoadFromBmp(v5), picture);
}

struct BadFile {
    std::string name;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
};

class Bitmap24Rejects : public ::testing::TestWithParam<BadFile> {};

TEST_P(Bitmap24Rejects, WithAClearError) {
    auto bytes = Gradient(4, 3).SaveToBmp();
    GetParam().spoil(bytes);
    try {
        (void)TBitmap24::LoadFromBmp(bytes);
        FAIL() << "accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Invalid bitmap", 0), 0u) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, Bitmap24Rejects,
    ::testing::Values(
        BadFile{"HeadersCut", [](auto& b) { b.resize(40); }},
        BadFile{"PixelsCut",
                [](auto& b) {
                    b.resize(b.size() - 1);
                    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
                }},
        BadFile{"NotBM", [](auto& b) { b[1] = 'A'; }}, BadFile{"ThirtyTwoBits", [](auto& b) { b[28] = 32; }},
        BadFile{"EightBits", [](auto& b) { b[28] = 8; }}, BadFile{"Compressed", [](auto& b) { b[30] = 1; }},
        BadFile{"TwoPlanes", [](auto& b) { b[26] = 2; }},
        BadFile{"FileSizeDisagrees", [](auto& b) { Put32(b, 2, static_cast<std::uint32_t>(b.size() + 10)); }},
        BadFile{"ImageSizeDisagrees", [](auto& b) { Put32(b, 34, 4); }},
        BadFile{"WidthBeyondTheBytes", [](auto& b) { Put32(b, 18, 5); }},
        BadFile{"ZeroWidth", [](auto& b) { Put32(b, 18, 0); }},
        BadFile{"NegativeWidth", [](auto& b) { Put32(b, 18, static_cast<std::uint32_t>(-4)); }},
        BadFile{"AbsurdSize",
                [](auto& b) {
                    Put32(b, 18, 0x7FFFFFFF);
                    Put32(b, 22, 0x7FFFFFFF);
                    Put32(b, 34, 0);
                }},
        BadFile{"MostNegativeHeight", [](auto& b) { Put32(b, 22, 0x80000000u); }},
        BadFile{"PixelOffsetPastTheEnd", [](auto& b) { Put32(b, 10, 0xFFFFFFF0u); }},
        BadFile{"PixelOffsetInsideHeader", [](auto& b) { Put32(b, 10, 20); }},
        BadFile{"InfoHeaderTooShort", [](auto& b) { Put32(b, 14, 12); }},
        BadFile{"InfoHeaderLongerThanFile", [](auto& b) { Put32(b, 14, 0xFFFFFFFFu); }}),
    testing::RowName());

TEST(Bitmap24Stretch, SamplesTheNearestPixelCentre) {
    const TBitmap24 source = Gradient(32, 34);
    const TBitmap24 shrunk = source.Stretched(30, 30);
    ASSERT_EQ(shrunk.Width(), 30);
    ASSERT_EQ(shrunk.Height(), 30);
    // floor((x + 1/2) * 32 / 30): columns 0..6 map to themselves, 7 skips to 8, 22 to 24, 29 to 31.
    EXPECT_EQ(shrunk.Pixel(6, 0), source.Pixel(6, 0));
    EXPECT_EQ(shrunk.Pixel(7, 0), source.Pixel(8, 0));
    EXPECT_EQ(shrunk.Pixel(22, 0), source.Pixel(24, 0));
    EXPECT_EQ(shrunk.Pixel(29, 29), source.Pixel(31, 33));
    for (int x = 0; x < 30; ++x) {
        EXPECT_EQ(shrunk.Pixel(x, 0), source.Pixel((2 * x + 1) * 32 / 60, 0)) << x;
    }

    const TBitmap24 widened = source.Stretched(34, 32);
    for (int x = 0; x < 34; ++x) {
        EXPECT_EQ(widened.Pixel(x, 31), source.Pixel((2 * x + 1) * 32 / 68, (2 * 31 + 1) * 34 / 64)) << x;
    }
    EXPECT_EQ(source.Stretched(32, 34), source);
    EXPECT_TRUE(TBitmap24().Stretched(10, 10).Empty());
    EXPECT_THROW(source.Stretched(-1, 5), EInvalidGraphic);
    EXPECT_THROW(source.Stretched(0, -1), EInvalidGraphic);
    EXPECT_TRUE(source.Stretched(0, 5).Empty());
    EXPECT_TRUE(source.Stretched(5, 0).Empty());
}

} // namespace
} // namespace brelmont
