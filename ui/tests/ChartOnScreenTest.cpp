// SPDX-License-Identifier: MIT
// The risk chart on a real X server with a window manager, at the scale the test is run with (1, 1,5 and 2 on
// a 1280 × 1024 screen): both windows on the screen, beside each other where the screen has room, the chart's
// button and axis titles whole. Leaves a picture of the screen in the folder named by BRELMONT_SCREENSHOTS.
#include "ui/Dialogs.h"
#include "ui/Mainf.h"
#include "ui/RiskChartOpener.h"
#include "ui/RiskChartf.h"
#include "ui_Mainf.h"
#include "ui_RiskChartf.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFontMetricsF>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

TEST(ChartOnScreen, BothWindowsFitAndNothingIsCut) {
    TMain window(HelpHooks{[] {}, [] {}, [] {}});
    window.RiskChart().SetFactory([] { return new TRiskChart(); });
    CentreOnScreen(window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The window manager's frame arrives after the window is mapped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.frameGeometry() != window.geometry(); }, 10000));
    window.Controls().pole1->setText(QStringLiteral("55"));
    window.Controls().pole2->setText(QStringLiteral("2"));
    window.Controls().pole3->setText(QStringLiteral("5"));
    window.RiskChart().Action().trigger();
    auto* chart = dynamic_cast<TRiskChart*>(window.RiskChart().Window());
    ASSERT_NE(chart, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
    const QRect screen = window.screen()->availableGeometry();
    // Framed, and pulled inside the screen once the frame is known.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return chart->frameGeometry() != chart->geometry() && screen.contains(chart->frameGeometry());
        },
        10000));
    EXPECT_TRUE(screen.contains(chart->frameGeometry()))
        << chart->frameGeometry().x() << "," << chart->frameGeometry().y() << " "
        << chart->frameGeometry().width() << "x" << chart->frameGeometry().height() << " on " << screen.x()
        << "," << screen.y() << " " << screen.width() << "x" << screen.height();
    EXPECT_TRUE(screen.contains(window.frameGeometry()));
    const int least = chart->minimumSizeHint().expandedTo(chart->minimumSize()).width();
    if (screen.width() >= window.frameGeometry().width() + least + 40) {
        EXPECT_FALSE(chart->frameGeometry().intersects(window.frameGeometry())) << "side by side";
    }

    const QPushButton& save = *chart->Controls().SaveButton;
    EXPECT_TRUE(chart->rect().contains(QRect(save.mapTo(chart, QPoint(0, 0)), save.size())));
    const QRectF plot = chart->Chart().plotArea();
    for (QAbstractAxis* axis : chart->Chart().axes(Qt::Vertical)) {
        EXPECT_LE(QFontMetricsF(axis->titleFont()).horizontalAdvance(axis->titleText()), plot.height())
            << axis->titleText().toStdString();
    }
    for (int mark = 0; mark < 3; ++mark) {
        EXPECT_TRUE(QRectF(chart->Chart().rect()).contains(chart->MarkLabelRect(mark))) << mark;
    }

    const QString folder = qEnvironmentVariable("BRELMONT_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        const QString name =
            QStringLiteral("risk-chart-%1x.png").arg(qEnvironmentVariable("QT_SCALE_FACTOR", "1"));
        EXPECT_TRUE(window.screen()->grabWindow(0).save(QDir(folder).filePath(name)));
    }
    window.close();
}

} // namespace
} // namespace brelmont
