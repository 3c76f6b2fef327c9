// SPDX-License-Identifier: MIT
#include "ui/widgets/ShapeData.h"

#include "base/testing/RowName.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

constexpr TColor Red = 0x0000FF;

// Draws a picture from text, one character a pixel: '.' white, 'w' near-white, 'x' red, 'b' white but for
// its blue byte.
TBitmap24 Picture(std::initializer_list<std::string> rows) {
    TBitmap24 picture(static_cast<int>(rows.begin()->size()), static_cast<int>(rows.size()));
    int y = 0;
    for (const std::string& row : rows) {
        for (int x = 0; x < picture.Width(); ++x) {
            const char c = row[static_cast<std::size_t>(x)];
            picture.SetPixel(x, y, c == '.' ? clWhite : c == 'w' ? 0xFCFCFE : c == 'b' ? 0xFEFFFF : Red);
        }
        ++y;
    }
    return picture;
}

TEST(ShapeBuilding, MergesIdenticalRowsIntoBandsAndKeepsRunsApart) {
    const auto shape =
        BuildShape(Picture({"......", ".xx.x.", ".xx.x.", "......", "xxxxxx", ".xx.x."}), 6, 6, clNone);
    ASSERT_TRUE(shape);
    const TShape expected{{1, 1, 3, 3}, {4, 1, 5, 3}, {0, 4, 6, 5}, {1, 5, 3, 6}, {4, 5, 5, 6}};
    EXPECT_EQ(*shape, expected);
    EXPECT_TRUE(IsNormalForm(*shape));
    EXPECT_EQ(ShapeBounds(*shape), (TShapeRect{0, 1, 6, 6}));
}

TEST(ShapeBuilding, ComparesAllThreeBytesOfTheTransparentColour) {
    // The top-left near-white is what is cut out; pure white and a white differing in blue alone stay.
    const auto shape = BuildShape(Picture({"w.b", "www"}), 3, 2, clNone);
    ASSERT_TRUE(shape);
    EXPECT_EQ(*shape, (TShape{{1, 0, 3, 1}}));
    // An explicit colour overrides the corner pixel.
    EXPECT_EQ(*BuildShape(Picture({"w.b", "www"}), 3, 2, clWhite),
              (TShape{{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 1, 3, 2}}));
}

TEST(ShapeBuilding, GivesNoShapeWithoutTransparencyOrOpaquePixels) {
    EXPECT_FALSE(BuildShape(Picture({".x", "x."}), 2, 2, clNoTransparency));
    EXPECT_FALSE(BuildShape(Picture({"..", ".."}), 2, 2, clNone));
    EXPECT_FALSE(BuildShape(TBitmap24(), 2, 2, clNone));
    EXPECT_FALSE(TransparentColorFor(clNone, TBitmap24()));
    EXPECT_EQ(TransparentColorFor(clNone, Picture({"w."})), 0xFCFCFE);
    EXPECT_EQ(TransparentColorFor(0x12345678, Picture({"w."})), 0x345678);
}

TEST(ShapeBuilding, StretchesToTheButtonBeforeScanning) {
    // A one-pixel frame in a 32x32 picture; at 30x30 the sampled columns 0 and 31 still land on the frame.
    TBitmap24 frame(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool edge = x == 0 || y == 0 || x == 31 || y == 31;
            frame.SetPixel(x, y, edge ? Red : clWhite);
        }
    }
    frame.SetPixel(0, 0, clWhite);
    const auto shape = BuildShape(frame, 30, 30, clNone);
    ASSERT_TRUE(shape);
    EXPECT_TRUE(IsNormalForm(*shape));
    EXPECT_EQ(ShapeBounds(*shape), (TShapeRect{0, 0, 30, 30}));
    EXPECT_EQ(shape->front(), (TShapeRect{1, 0, 30, 1}));
    EXPECT_EQ((*shape)[1], (TShapeRect{0, 1, 1, 29}));
    EXPECT_EQ((*shape)[2], (TShapeRect{29, 1, 30, 29}));
    EXPECT_EQ(shape->size(), 4u);
}

TEST(ShapeBlock, HasTheRegionHeaderLayout) {
    const TShape shape{{7, 0, 22, 1}, {6, 1, 23, 2}};
    const auto block = EncodeShapeData(shape);
    ASSERT_EQ(block.size(), 4u + 32u + 32u);
    const std::vector<std::uint8_t> header(block.begin(), block.begin() + 36);
    const std::vector<std::uint8_t> expected{64, 0, 0, 0, 32, 0, 0, 0, 1, 0, 0,  0, 2, 0, 0, 0, 32, 0,
                                             0,  0, 6, 0, 0,  0, 0, 0, 0, 0, 23, 0, 0, 0, 2, 0, 0,  0};
    EXPECT_EQ(header, expected);
    EXPECT_EQ(block[36], 7);
    EXPECT_EQ(block[44], 22);
    EXPECT_EQ(EncodeShapeData(std::nullopt), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(ShapeBlock, RoundTrips) {
    const TShape shape{{-3, -2, 5, 1}, {1, 1, 2, 4}, {40000, 9, 65536, 10}};
    EXPECT_EQ(DecodeShapeData(EncodeShapeData(shape)), shape);
    EXPECT_EQ(DecodeShapeData(EncodeShapeData(TShape{})), TShape{});
    EXPECT_FALSE(DecodeShapeData(EncodeShapeData(std::nullopt)));
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

struct BadBlock {
    std::string name;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
};

class ShapeBlockRejects : public ::testing::TestWithParam<BadBlock> {};

TEST_P(ShapeBlockRejects, WithAClearError) {
    auto block = EncodeShapeData(TShape{{1, 0, 3, 1}, {0, 1, 4, 3}});
    GetParam().spoil(block);
    try {
        (void)DecodeShapeData(block);
        FAIL() << "accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Invalid shape data", 0), 0u) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, ShapeBlockRejects,
    ::testing::Values(BadBlock{"NoCount", [](auto& b) { b.resize(3); }},
                      BadBlock{"Truncated", [](auto& b) { b.pop_back(); }},
                      BadBlock{"TrailingBytes", [](auto& b) { b.push_back(0); }},
                      BadBlock{"ZeroCountWithData", [](auto& b) { Put32(b, 0, 0); }},
                      BadBlock{"CountBeyondBytes", [](auto& b) { Put32(b, 0, 0xFFFFFFF0u); }},
                      BadBlock{"CountShorterThanHeader",
                               [](auto& b) {
                                   b.resize(20);
                                   Put32(b, 0, 16);
                               }},
                      BadBlock{"HeaderSize", [](auto& b) { Put32(b, 4, 36); }},
                      BadBlock{"NotRectangles", [](auto& b) { Put32(b, 8, 2); }},
                      BadBlock{"MoreRectanglesThanBytes", [](auto& b) { Put32(b, 12, 3); }},
                      BadBlock{"HugeRectangleCount", [](auto& b) { Put32(b, 12, 0x10000001u); }},
                      BadBlock{"FewerRectanglesThanBytes", [](auto& b) { Put32(b, 12, 1); }},
                      BadBlock{"ListSizeDisagrees", [](auto& b) { Put32(b, 16, 48); }},
                      BadBlock{"BoundsTooSmall", [](auto& b) { Put32(b, 28, 3); }},
                      BadBlock{"BoundsTooLarge", [](auto& b) { Put32(b, 32, 9); }},
                      BadBlock{"InvertedRectangle", [](auto& b) { Put32(b, 44, 0); }},
                      BadBlock{"EmptyRectangle", [](auto& b) { Put32(b, 60, 1); }},
                      BadBlock{"HugeCoordinates",
                               [](auto& b) {
                                   Put32(b, 52, 0x7FFFFFF0u);
                                   Put32(b, 60, 0x7FFFFFFFu);
                               }},
                      BadBlock{"MostNegativeCoordinate", [](auto& b) { Put32(b, 36, 0x80000000u); }}),
    testing::RowName());

class ImageShapesTest : public ::testing::Test {
protected:
    void SetUp() override {
        shapes.SetImage(Picture({"....", ".xx.", ".xx.", "...."}));
        shapes.SetSize(4, 4);
    }
    TImageShapes shapes;
};

TEST_F(ImageShapesTest, BuildsOncePerSizeAndPicture) {
    ASSERT_TRUE(shapes.NormalShape());
    EXPECT_EQ(*shapes.NormalShape(), (TShape{{1, 1, 3, 3}}));
    EXPECT_EQ(shapes.DownShape(), shapes.NormalShape());
    EXPECT_EQ(shapes.BuildCount(), 1);
    EXPECT_EQ(shapes.NormalData(), EncodeShapeData(TShape{{1, 1, 3, 3}}));

    shapes.SetSize(4, 4);
    (void)shapes.NormalShape();
    EXPECT_EQ(shapes.BuildCount(), 1);
    shapes.SetSize(8, 8);
    EXPECT_EQ(*shapes.NormalShape(), (TShape{{2, 2, 6, 6}}));
    EXPECT_EQ(shapes.BuildCount(), 2);
}

TEST_F(ImageShapesTest, UsesAStoredBlockWithoutScanningUntilTheSizeChanges) {
    const TShape stored{{0, 0, 1, 1}};
    shapes.SetNormalData(EncodeShapeData(stored));
    EXPECT_EQ(shapes.NormalShape(), stored);
    EXPECT_EQ(shapes.BuildCount(), 0);
    // A transparent-colour change keeps what was stored; only built shapes depend on it.
    shapes.SetTransparentColor(Red);
    EXPECT_EQ(shapes.NormalShape(), stored);
    shapes.SetTransparentColor(clNone);

    shapes.SetSize(4, 5);
    EXPECT_EQ(*shapes.NormalShape(), (TShape{{1, 1, 3, 4}}));
    EXPECT_EQ(shapes.BuildCount(), 1);

    // A block of count 0 means nothing stored: the shape is built.
    shapes.SetNormalData(std::vector<std::uint8_t>{0, 0, 0, 0});
    (void)shapes.NormalShape();
    EXPECT_EQ(shapes.BuildCount(), 2);
}

TEST_F(ImageShapesTest, StoredBlockBeforeTheFirstSizeIsKept) {
    TImageShapes fresh;
    fresh.SetImage(Picture({"..", ".x"}));
    fresh.SetNormalData(EncodeShapeData(TShape{{0, 0, 5, 5}}));
    fresh.SetSize(30, 30);
    EXPECT_EQ(fresh.NormalShape(), (TShape{{0, 0, 5, 5}}));
    EXPECT_EQ(fresh.BuildCount(), 0);
}

TEST_F(ImageShapesTest, APictureChangeDiscardsOnlyItsOwnShape) {
    shapes.SetImageDown(Picture({"xxxx", "x..x", "x..x", "xxxx"}));
    ASSERT_TRUE(shapes.DownHasOwnShape());
    // The down picture's own top-left pixel decides its transparent colour: here red, leaving the middle.
    EXPECT_EQ(*shapes.DownShape(), (TShape{{1, 1, 3, 3}}));
    (void)shapes.NormalShape();
    EXPECT_EQ(shapes.BuildCount(), 2);

    shapes.SetImage(Picture({"....", "xxxx", "....", "...."}));
    EXPECT_EQ(*shapes.NormalShape(), (TShape{{0, 1, 4, 2}}));
    (void)shapes.DownShape();
    EXPECT_EQ(shapes.BuildCount(), 3);
}

TEST_F(ImageShapesTest, NoTransparencyMeansNoShapeEvenWithStoredData) {
    shapes.SetNormalData(EncodeShapeData(TShape{{0, 0, 1, 1}}));
    shapes.SetTransparentColor(clNoTransparency);
    EXPECT_FALSE(shapes.NormalShape());
}

TEST_F(ImageShapesTest, AMalformedBlockKeepsThePreviousShape) {
    shapes.SetNormalData(EncodeShapeData(TShape{{0, 0, 1, 1}}));
    EXPECT_THROW(shapes.SetNormalData(std::vector<std::uint8_t>{1, 0, 0, 0, 0}), EInvalidGraphic);
    EXPECT_EQ(shapes.NormalShape(), (TShape{{0, 0, 1, 1}}));
}

} // namespace
} // namespace brelmont
