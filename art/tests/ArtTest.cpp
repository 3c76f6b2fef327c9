// SPDX-License-Identifier: MIT
// The committed artwork against what the windows expect of it: picture sizes, the transparent colour each
// toolbar button cuts out, outlines that are the building rule's result for the committed pictures (so a
// redrawn picture with a stale outline fails here), and hard edges around every button.
#include "base/testing/RowName.h"
#include "ui/widgets/ShapeData.h"

#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

using ::brelmont::testing::PrintTo;

using brelmont::TBitmap24;
using brelmont::TColor;

std::vector<std::uint8_t> ReadFile(const std::string& name) {
    std::ifstream in(std::string(BRELMONT_ART_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ButtonRow {
    std::string name;
    std::string file;
    int pictureWidth;
    int pictureHeight;
    int shownWidth;
    int shownHeight;
    TColor transparent;
};

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kHelpNearWhite = 254 + 256 * 252 + 65536 * 252;

class ButtonPicture : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(ButtonPicture, IsA24BitPictureOnItsTransparentColour) {
    const ButtonRow& row = GetParam();
    const TBitmap24 picture = TBitmap24::LoadFromBmp(ReadFile(row.file + ".bmp"));
    EXPECT_EQ(picture.Width(), row.pictureWidth);
    EXPECT_EQ(picture.Height(), row.pictureHeight);
    EXPECT_EQ(picture.Pixel(0, 0), row.transparent);
}

TEST_P(ButtonPicture, StoredOutlineIsTheOneTheRuleBuilds) {
    const ButtonRow& row = GetParam();
    const TBitmap24 picture = TBitmap24::LoadFromBmp(ReadFile(row.file + ".bmp"));
    const auto built = brelmont::BuildShape(picture, row.shownWidth, row.shownHeight, brelmont::clNone);
    ASSERT_TRUE(built.has_value());
    EXPECT_EQ(ReadFile(row.file + ".shape"), brelmont::EncodeShapeData(built));
}

// A pixel that is almost, but not exactly, the transparent colour would stay in the outline as a pale halo.
TEST_P(ButtonPicture, HasNoPaleFringe) {
    const ButtonRow& row = GetParam();
    const TBitmap24 picture = TBitmap24::LoadFromBmp(ReadFile(row.file + ".bmp"));
    const auto channel = [](TColor c, int shift) { return (c >> shift) & 0xFF; };
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const TColor c = picture.Pixel(x, y);
            if (c == row.transparent) {
                continue;
            }
            const bool onEdge =
                x == 0 || y == 0 || x + 1 == picture.Width() || y + 1 == picture.Height() ||
                picture.Pixel(x - 1, y) == row.transparent || picture.Pixel(x + 1, y) == row.transparent ||
                picture.Pixel(x, y - 1) == row.transparent || picture.Pixel(x, y + 1) == row.transparent;
            if (!onEdge) {
                continue;
            }
            int distance = 0;
            for (int shift : {0, 8, 16}) {
                distance += std::abs(channel(c, shift) - channel(row.transparent, shift));
            }
            EXPECT_GT(distance, 120) << "edge pixel " << x << "," << y;
        }
    }
}

// The button keeps its 1x outline on scaled screens, so the 2x face must be opaque exactly where that
// outline is, each logical pixel doubled: no backdrop showing through inside, nothing cut off outside.
TEST_P(ButtonPicture, TwiceAsLargeFaceFillsTheDoubledOutline) {
    const ButtonRow& row = GetParam();
    const TBitmap24 picture = TBitmap24::LoadFromBmp(ReadFile(row.file + ".bmp"));
    const TBitmap24 sharp = TBitmap24::LoadFromBmp(ReadFile(row.file + "@2x.bmp"));
    ASSERT_EQ(sharp.Width(), 2 * row.shownWidth);
    ASSERT_EQ(sharp.Height(), 2 * row.shownHeight);
    const TBitmap24 shown = picture.Stretched(row.shownWidth, row.shownHeight);
    for (int y = 0; y < sharp.Height(); ++y) {
        for (int x = 0; x < sharp.Width(); ++x) {
            ASSERT_EQ(sharp.Pixel(x, y) == row.transparent, shown.Pixel(x / 2, y / 2) == row.transparent)
                << "pixel " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Toolbar, ButtonPicture,
                         ::testing::Values(ButtonRow{"Btn1", "btn-start", 32, 32, 30, 30, kWhite},
                                           ButtonRow{"ImageBtn2", "btn-clear", 32, 34, 34, 32, kWhite},
                                           ButtonRow{"ImageBtn6", "btn-help", 32, 32, 32, 32, kHelpNearWhite},
                                           ButtonRow{"ImageBtn3", "btn-site", 32, 35, 32, 35, kWhite},
                                           ButtonRow{"ImageBtn4", "btn-about", 32, 32, 32, 32, kWhite},
                                           ButtonRow{"ImageBtn5", "btn-exit", 32, 35, 32, 35, kWhite}),
                         brelmont::testing::RowName{});

struct PictureRow {
    std::string name;
    std::string file;
    QByteArray format;
    int width;
    int height;
};

class WindowPicture : public ::testing::TestWithParam<PictureRow> {};

TEST_P(WindowPicture, DecodesAtItsControlSize) {
    const PictureRow& row = GetParam();
    QImageReader reader(QString(BRELMONT_ART_DIR) + "/" + QString::fromStdString(row.file));
    EXPECT_EQ(reader.format(), row.format);
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.width(), row.width);
    EXPECT_EQ(image.height(), row.height);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowPicture,
    ::testing::Values(PictureRow{"MainBanner", "banner-main.jpg", "jpeg", 584, 73},
                      PictureRow{"AboutBanner", "banner-about.jpg", "jpeg", 428, 73},
                      PictureRow{"ToolbarPicture", "toolbar-coins.jpg", "jpeg", 17, 33},
                      PictureRow{"AboutIcon", "icon-48.jpg", "jpeg", 48, 48},
                      PictureRow{"DesktopIcon", "brelmont.png", "png", 48, 48},
                      PictureRow{"MainBanner2x", "banner-main@2x.jpg", "jpeg", 1168, 146},
                      PictureRow{"AboutBanner2x", "banner-about@2x.jpg", "jpeg", 856, 146},
                      PictureRow{"ToolbarPicture2x", "toolbar-coins@2x.jpg", "jpeg", 34, 66}),
    brelmont::testing::RowName{});

class ThemeIcon : public ::testing::TestWithParam<int> {};

// Each theme size is a picture of its own at exactly that size, with transparent corners, so that the
// desktop never scales one size into another.
TEST_P(ThemeIcon, IsDrawnAtItsSizeWithTransparentCorners) {
    const int size = GetParam();
    const QImage image(QString(BRELMONT_ART_DIR) + QStringLiteral("/icons/brelmont-%1.png").arg(size));
    ASSERT_FALSE(image.isNull()) << size;
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0);
    EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
}

INSTANTIATE_TEST_SUITE_P(Theme, ThemeIcon, ::testing::Values(16, 22, 24, 32, 48, 64, 128, 256),
                         [](const ::testing::TestParamInfo<int>& row) {
                             return "Size" + std::to_string(row.param);
                         });

} // namespace
