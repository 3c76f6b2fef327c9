// SPDX-License-Identifier: MIT
// The toolbar's shaped buttons as the X server shows them, at the scale the test is run with. At 1,5 the
// outline's logical pixels round out to whole screen pixels past the 2x picture's edge, which once showed as
// dark specks around every button; only the real server's shaped painting shows it, not a widget's grab.
#include "ui/Mainf.h"
#include "ui/widgets/ImageBtn.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8 &&
           std::abs(qBlue(a) - qBlue(b)) <= 8;
}

TEST(ButtonsOnScreen, EdgesShowTheToolbarBehindNotSpecksOfBackdrop) {
    TMain window(HelpHooks{[] {}, [] {}, [] {}});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const qreal scale = window.devicePixelRatioF();
    const auto buttons = window.findChildren<TImageBtn*>();
    ASSERT_FALSE(buttons.isEmpty());
    for (TImageBtn* button : buttons) {
        if (button->Image2x().Empty() || !button->isVisible()) {
            continue;
        }
        SCOPED_TRACE(button->objectName().toStdString());
        const QRect area(button->mapTo(&window, QPoint(0, 0)), button->size());
        QImage shown;
        // The server holds the window's pixels once the paint has been flushed to it.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                shown = window.screen()
                            ->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
                return !shown.isNull() && shown.pixel(shown.width() / 2, shown.height() / 2) != qRgb(0, 0, 0);
            },
            10000));
        button->hide();
        const QImage behind = window.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
        button->show();
        ASSERT_EQ(shown.size(), behind.size());
        // The face drawn at this scale: the 1x picture below 1,5, the 2x one from there on.
        const TBitmap24& face = scale >= 1.5 ? button->Image2x() : button->Image();
        const TBitmap24 sharp = face.Stretched(shown.width(), shown.height());
        const TColor transparent = face.Pixel(0, 0);
        int checked = 0;
        int specks = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (sharp.Pixel(x, y) == transparent) {
                    ++checked;
                    specks += !Near(shown.pixel(x, y), behind.pixel(x, y));
                }
            }
        }
        EXPECT_GT(checked, 0);
        EXPECT_EQ(specks, 0) << "at " << scale << "x";
    }
}

} // namespace
} // namespace brelmont
