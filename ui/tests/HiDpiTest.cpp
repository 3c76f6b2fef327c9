// SPDX-License-Identifier: MIT
// The windows' pictures as the screen shows them, pixel for pixel, at the scale this run was started with
// (CTest runs it at 1x and with QT_SCALE_FACTOR=1.5 and 2): the banners, the toolbar picture and the six
// button faces are the artwork made for that scale, never the 1x artwork blown up, while the buttons keep
// their 1x outlines in logical pixels and the pressed face still moves by 2 logical pixels.
#include "base/testing/RowName.h"
#include "ui/Mainf.h"
#include "ui/aboutf.h"
#include "ui/widgets/ImageBtn.h"
#include "ui_Mainf.h"
#include "ui_aboutf.h"

#include <QFile>
#include <QLabel>
#include <cmath>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

qreal Scale() {
    return qApp->devicePixelRatio();
}

QString Sharp(const QString& path) {
    QString sharp = path;
    return Scale() >= 1.5 ? sharp.insert(sharp.lastIndexOf(u'.'), QStringLiteral("@2x")) : sharp;
}

QImage Shot(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int DifferentPixels(const QImage& a, const QImage& b) {
    int different = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            different += a.pixel(x, y) != b.pixel(x, y);
        }
    }
    return different;
}

struct PictureRow {
    std::string name;
    std::string window; // "Main" or "About"
    std::string label;
    QString picture;
};

class ShownPicture : public ::testing::TestWithParam<PictureRow> {
protected:
    ShownPicture() : main(HelpHooks{[] {}, [] {}, [] {}}) {
        main.show();
        about.show();
    }
    TMain main;
    TAbout about;
};

TEST_P(ShownPicture, IsTheArtworkMadeForThisScaleNotABlownUpOne) {
    if (Scale() != std::floor(Scale())) {
        GTEST_SKIP()
            << "at a fractional scale the label smooths the 2x artwork down: no pixel is the artwork's";
    }
    const PictureRow& row = GetParam();
    QWidget& window = row.window == "Main" ? static_cast<QWidget&>(main) : about;
    auto* label = window.findChild<QLabel*>(QString::fromStdString(row.label));
    ASSERT_NE(label, nullptr);
    const QImage shot = Shot(*label);
    const QImage expected = QImage(Sharp(row.picture)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), expected.size());
    EXPECT_EQ(DifferentPixels(shot, expected), 0);
    if (Scale() >= 1.5) {
        const QImage blownUp = QImage(row.picture)
                                   .convertToFormat(QImage::Format_RGB32)
                                   .scaled(shot.size(), Qt::IgnoreAspectRatio);
        EXPECT_GT(DifferentPixels(shot, blownUp), shot.width() * shot.height() / 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ShownPicture,
    ::testing::Values(PictureRow{"MainBanner", "Main", "Image1", ":/art/banner-main.jpg"},
                      PictureRow{"ToolbarCoins", "Main", "Image2", ":/art/toolbar-coins.jpg"},
                      PictureRow{"AboutBanner", "About", "Image1", ":/art/banner-about.jpg"}),
    brelmont::testing::RowName{});

struct ButtonRow {
    std::string name;
    QString picture;
};

class ShownButton : public ::testing::TestWithParam<ButtonRow> {
protected:
    ShownButton() : main(HelpHooks{[] {}, [] {}, [] {}}) { main.show(); }
    TImageBtn& Button() { return *main.findChild<TImageBtn*>(QString::fromStdString(GetParam().name)); }
    TMain main;
};

// What the face shows at a screen pixel inside the outline: the picture made for this scale stretched to
// the screen's pixels, the backdrop where it is transparent.
QImage ExpectedFace(const ButtonRow& row, QSize device) {
    const QImage picture = QImage(Sharp(row.picture)).convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = picture.pixel(0, 0);
    QImage face(device, QImage::Format_RGB32);
    for (int y = 0; y < device.height(); ++y) {
        for (int x = 0; x < device.width(); ++x) {
            const QRgb c = picture.pixel(static_cast<int>((x + 0.5) * picture.width() / device.width()),
                                         static_cast<int>((y + 0.5) * picture.height() / device.height()));
            face.setPixel(x, y, c == transparent ? qRgb(0, 0, 0) : c);
        }
    }
    return face;
}

// The outline the 1x picture gives at the button's logical size, whatever the scale.
QRegion LogicalOutline(const ButtonRow& row, QSize size) {
    const QImage picture = QImage(row.picture).convertToFormat(QImage::Format_RGB32);
    QRegion outline;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int sx = static_cast<int>((x + 0.5) * picture.width() / size.width());
            const int sy = static_cast<int>((y + 0.5) * picture.height() / size.height());
            if (picture.pixel(sx, sy) != picture.pixel(0, 0)) {
                outline += QRect(x, y, 1, 1);
            }
        }
    }
    return outline;
}

TEST_P(ShownButton, FaceIsTheArtworkMadeForThisScaleInsideTheLogicalOutline) {
    TImageBtn& button = Button();
    EXPECT_EQ(button.AppliedShape(), LogicalOutline(GetParam(), button.size()));
    const QImage shot = Shot(button);
    const qreal scale = Scale();
    ASSERT_EQ(shot.size(), QSize(qRound(button.width() * scale), qRound(button.height() * scale)));
    const QImage expected = ExpectedFace(GetParam(), shot.size());
    int compared = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (button.AppliedShape().contains(
                    QPoint(static_cast<int>(x / scale), static_cast<int>(y / scale)))) {
                ASSERT_EQ(shot.pixel(x, y), expected.pixel(x, y)) << "at " << x << "," << y;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, shot.width() * shot.height() / 2);
}

TEST_P(ShownButton, CornersOutsideTheOutlinePassThePointerOn) {
    TImageBtn& button = Button();
    const QPoint corner = button.mapToParent(QPoint(0, 0));
    EXPECT_NE(button.parentWidget()->childAt(corner), &button);
    // The disabled site button passes even its middle on to the site link beneath it.
    EXPECT_EQ(button.parentWidget()->childAt(button.geometry().center()) == &button, button.isEnabled());
}

TEST_P(ShownButton, PressedFaceMovesTwoLogicalPixels) {
    TImageBtn& button = Button();
    const QImage up = Shot(button);
    button.setDown(true);
    const QImage down = Shot(button);
    button.setDown(false);
    const int step = qRound(2 * Scale());
    const QPoint middle(up.width() / 2, up.height() / 2);
    for (int d = -3; d <= 3; ++d) {
        const QPoint at = middle + QPoint(d, -d);
        EXPECT_EQ(down.pixel(at + QPoint(step, step)), up.pixel(at)) << d;
    }
}

INSTANTIATE_TEST_SUITE_P(Toolbar, ShownButton,
                         ::testing::Values(ButtonRow{"Btn1", ":/art/btn-start.bmp"},
                                           ButtonRow{"ImageBtn2", ":/art/btn-clear.bmp"},
                                           ButtonRow{"ImageBtn6", ":/art/btn-help.bmp"},
                                           ButtonRow{"ImageBtn3", ":/art/btn-site.bmp"},
                                           ButtonRow{"ImageBtn4", ":/art/btn-about.bmp"},
                                           ButtonRow{"ImageBtn5", ":/art/btn-exit.bmp"}),
                         brelmont::testing::RowName{});

} // namespace
} // namespace brelmont
