// SPDX-License-Identifier: MIT
// The window "Несколько ставок" as drawn at the scale this run's QT_SCALE_FACTOR sets: it opens whole on a
// 1280×1024 screen, every control lies inside it and shows its text uncut, pictures are drawn at the screen's
// own pixel density, and the picture is kept (BRELMONT_SCREENSHOTS) for a person to look at.
#include "ui/several/BetsTableModel.h"
#include "ui/several/SeveralBetsf.h"
#include "ui_SeveralBetsf.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

// A match's three outcomes at the bookmaker's odds, fair probabilities filled and one adjusted.
void FillAMatch(TSeveralBets& window) {
    window.Model().SetRows({{QStringLiteral("Победа хозяев"), QStringLiteral("2,6"), QString(), QString()},
                            {QStringLiteral("Ничья"), QStringLiteral("2,4"), QString(), QString()},
                            {QStringLiteral("Победа гостей"), QStringLiteral("4,3"), QString(), QString()}});
    window.Controls().FairMethod->setCurrentIndex(3);
    window.FillFairProbabilities();
    window.Model().setData(window.Model().index(0, BetsTableModel::kProbability), QStringLiteral("42"),
                           Qt::EditRole);
    window.Model().setData(window.Model().index(1, BetsTableModel::kProbability), QStringLiteral("35"),
                           Qt::EditRole);
    window.Controls().Bank->setText(QStringLiteral("10000"));
    if (window.ChancesPending()) {
        QSignalSpy ready(&window, &TSeveralBets::ChancesReady);
        ASSERT_TRUE(ready.wait(120000));
    }
}

TEST(SeveralBetsLook, OpensWholeOnA1280By1024ScreenAndIsKeptAsAPicture) {
    const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                             ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                             : 1.0;
    TSeveralBets window;
    FillAMatch(window);
    // What a 1280×1024 screen offers at this scale, less a generous title bar and panel.
    const QSize screen(static_cast<int>(1280 / scale), static_cast<int>(1024 / scale) - 40);
    EXPECT_LE(window.minimumSizeHint().width(), screen.width());
    EXPECT_LE(window.minimumSizeHint().height(), screen.height());
    window.resize(window.size().boundedTo(screen));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->isVisible() || child->parentWidget() != &window) {
            continue;
        }
        const QRect inside = QRect(child->mapTo(&window, QPoint(0, 0)), child->size());
        EXPECT_TRUE(window.rect().contains(inside)) << child->objectName().toStdString();
        // Captions are never cut: a control is at least as wide as its text needs.
        if (qobject_cast<QAbstractButton*>(child) != nullptr || qobject_cast<QComboBox*>(child) != nullptr ||
            (qobject_cast<QLabel*>(child) != nullptr && !qobject_cast<QLabel*>(child)->wordWrap())) {
            EXPECT_GE(child->width(), child->minimumSizeHint().width()) << child->objectName().toStdString();
        }
    }
    for (QLineEdit* field :
         {window.Controls().Total, window.Controls().Chance40, window.Controls().Chance90}) {
        EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(field->text()))
            << field->objectName().toStdString() << ": " << field->text().toStdString();
    }

    const QPixmap picture = window.grab();
    EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), window.devicePixelRatioF())
        << "drawn at the screen's density";
    const QString folder = qEnvironmentVariable("BRELMONT_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        const QString name = QStringLiteral("%1/several-bets-%2x.png").arg(folder, QString::number(scale));
        EXPECT_TRUE(picture.save(name, "PNG")) << name.toStdString();
    }
}

} // namespace
} // namespace brelmont
