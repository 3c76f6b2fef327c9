// SPDX-License-Identifier: MIT
// The risk chart as a person meets it: opened from a result field's context menu or its shortcut, one window
// at a time and gone with the main window; curves that are the engine's own figures and follow an edit at
// once; exact curves that arrive from the worker and belong to the latest edit only; plain sentences instead
// of curves for unusable input; and pictures saved as PNG and SVG that hold the curves.
#include "ModalAnswerer.h"
#include "base/testing/RowName.h"
#include "helpdelivery/display/HelpSystemQt.h"
#include "stakecalc/RiskCurves.h"
#include "ui/FileFolders.h"
#include "ui/Mainf.h"
#include "ui/RiskChartOpener.h"
#include "ui/RiskChartf.h"
#include "ui/widgets/Accessible.h"
#include "ui_Mainf.h"
#include "ui_RiskChartf.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;
using testing::ModalAnswerer;

class RiskChart : public ::testing::Test {
protected:
    RiskChart() : window(HelpHooks{[] {}, [] {}, [] {}}), ui(window.Controls()) {
        window.RiskChart().SetFactory([] { return new TRiskChart(); });
    }

    TRiskChart* Chart() { return dynamic_cast<TRiskChart*>(window.RiskChart().Window()); }

    TRiskChart& OpenWith(const char* p, const char* k, const char* s) {
        ui.pole1->setText(QString::fromUtf8(p));
        ui.pole2->setText(QString::fromUtf8(k));
        ui.pole3->setText(QString::fromUtf8(s));
        window.RiskChart().Action().trigger();
        TRiskChart* chart = Chart();
        EXPECT_NE(chart, nullptr);
        return *chart;
    }

    // Waits for the exact figures of the current texts, however long the machine takes.
    static void WaitForExact(TRiskChart& chart) {
        if (chart.ExactPending()) {
            QSignalSpy ready(&chart, &TRiskChart::ExactReady);
            ASSERT_TRUE(ready.wait(60000));
        }
        ASSERT_FALSE(chart.ExactPending());
    }

    ~RiskChart() override { window.close(); }

    TMain window;
    Ui::TMain& ui;
};

TEST_F(RiskChart, TheResultFieldsMenuOffersItWithItsShortcut) {
    for (QLineEdit* field : {ui.pole4, ui.pole5, ui.pole6, ui.pole7}) {
        EXPECT_EQ(field->contextMenuPolicy(), Qt::CustomContextMenu);
        std::unique_ptr<QMenu> menu(window.RiskChart().BuildMenu(*field));
        QAction* chartEntry = nullptr;
        int ownEntries = 0;
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("Показать график риска")) {
                chartEntry = action;
            } else if (!action->isSeparator()) {
                ++ownEntries;
            }
        }
        ASSERT_NE(chartEntry, nullptr);
        EXPECT_GT(ownEntries, 0) << "the field's own entries stay";
        EXPECT_EQ(chartEntry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        chartEntry->trigger();
        ASSERT_NE(Chart(), nullptr);
        EXPECT_EQ(Chart()->windowTitle(), QStringLiteral("График риска"));
    }
}

TEST_F(RiskChart, TheShortcutOpensOneWindowAtATimeAndItClosesWithTheMainWindow) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ui.pole1->setFocus();
    QTest::keyClick(ui.pole1, Qt::Key_R, Qt::ControlModifier);
    QPointer<TRiskChart> first = Chart();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(ui.pole1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Chart(), first.data());

    window.close();
    EXPECT_TRUE(first == nullptr || !first->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first == nullptr);
}

TEST_F(RiskChart, FormulaCurvesAreTheEnginesFiguresAndFollowAnEdit) {
    TRiskChart& chart = OpenWith("55", "2", "");
    const QList<QPointF> before = chart.FormulaSeries(0).points();
    ASSERT_FALSE(before.isEmpty());
    for (int level = 0; level < 4; ++level) {
        for (const QPointF& point : chart.FormulaSeries(level).points()) {
            const auto shown = FormulaChances(55, 2, point.x());
            ASSERT_TRUE(shown);
            EXPECT_EQ(point.y(), (*shown)[static_cast<std::size_t>(level)]);
        }
    }
    auto* axis = qobject_cast<QValueAxis*>(chart.Chart().axes(Qt::Horizontal).first());
    EXPECT_DOUBLE_EQ(axis->max(), 20);

    ui.pole2->setText(QStringLiteral("1.9"));
    EXPECT_NE(chart.FormulaSeries(0).points(), before);
    const QPointF last = chart.FormulaSeries(2).points().last();
    EXPECT_EQ(last.y(), (*FormulaChances(55, 1.9, last.x()))[2]);

    ui.pole3->setText(QStringLiteral("25"));
    EXPECT_DOUBLE_EQ(axis->max(), 25);
    EXPECT_TRUE(chart.Controls().MarkTexts->text().contains(QStringLiteral("Ваша ставка 25 %: по формуле")));
}

TEST_F(RiskChart, MarksCarryTheirStakesAndBothSetsOfChances) {
    TRiskChart& chart = OpenWith("55", "2", "");
    WaitForExact(chart);
    const QString texts = chart.Controls().MarkTexts->text();
    EXPECT_TRUE(
        texts.contains(QStringLiteral("Ставка Келли 10 %: по формуле 59,85 / 39,82 / 19,84 / 9,88 %")))
        << texts.toStdString();
    EXPECT_TRUE(
        texts.contains(QStringLiteral("Половина ставки Келли 5 %: по формуле 21,3 / 6,24 / 0,77 / 0,09 %")))
        << texts.toStdString();
    const auto exact = ExactChances(55, 2, 10, {}, nullptr);
    QString expected = QStringLiteral("точно для целых ставок ");
    for (std::size_t i = 0; i < 4; ++i) {
        expected += QString::fromStdString(PercentText(100 * (exact[i].lower + exact[i].upper) / 2)) +
                    (i < 3 ? QStringLiteral(" / ") : QStringLiteral(" %"));
    }
    EXPECT_TRUE(texts.contains(expected)) << texts.toStdString() << "\n" << expected.toStdString();
    for (int level = 0; level < 4; ++level) {
        EXPECT_GE(chart.ExactSeries(level).count(), 16);
        EXPECT_EQ(chart.ExactSeries(level).pen().style(), Qt::DashLine);
    }
}

TEST_F(RiskChart, ANewerEditDropsTheExactWorkOfTheOlderOne) {
    TRiskChart& chart = OpenWith("55", "2", "");
    ui.pole1->setText(QStringLiteral("70")); // before any exact figure of 55 % could be shown
    WaitForExact(chart);
    const QString texts = chart.Controls().MarkTexts->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Ставка Келли 40 %"))) << texts.toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("Ставка Келли 10 %")));
    for (const QPointF& point : chart.ExactSeries(0).points()) {
        EXPECT_LE(point.x(), 80);
    }
    EXPECT_DOUBLE_EQ(chart.ExactSeries(0).points().last().x(), 80);
}

struct SentenceRow {
    const char* name;
    const char* p;
    const char* k;
    const char* sentenceStart;
};

class RiskChartSentences : public RiskChart, public ::testing::WithParamInterface<SentenceRow> {};

TEST_P(RiskChartSentences, StandInsteadOfCurves) {
    TRiskChart& chart = OpenWith("55", "2", "");
    ui.pole1->setText(QString::fromUtf8(GetParam().p));
    ui.pole2->setText(QString::fromUtf8(GetParam().k));
    chart.show();
    EXPECT_TRUE(chart.Controls().Sentence->isVisible());
    EXPECT_FALSE(chart.View().isVisible());
    EXPECT_FALSE(chart.Controls().SaveButton->isEnabled());
    EXPECT_TRUE(chart.Controls().Sentence->text().startsWith(QString::fromUtf8(GetParam().sentenceStart)))
        << chart.Controls().Sentence->text().toStdString();

    ui.pole1->setText(QStringLiteral("60"));
    ui.pole2->setText(QStringLiteral("1,9"));
    EXPECT_FALSE(chart.Controls().Sentence->isVisible());
    EXPECT_TRUE(chart.View().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Inputs, RiskChartSentences,
                         ::testing::Values(SentenceRow{"Unreadable", "пятьдесят", "2",
                                                       "Вероятность события или коэффициент не читается"},
                                           SentenceRow{"Empty", "", "2", "Введите вероятность"},
                                           SentenceRow{"NoValue", "50", "2", "У этой ставки нет перевеса"},
                                           SentenceRow{"ProbabilityAsAFraction", "0.55", "2",
                                                       "У этой ставки нет перевеса"}),
                         testing::RowName());

TEST_F(RiskChart, SavesPicturesThatHoldTheCurves) {
    TRiskChart& chart = OpenWith("55", "2", "5");
    chart.resize(860, 640);
    chart.show();
    WaitForExact(chart);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const QString svgPath = dir.filePath(QStringLiteral("chart.svg"));
    chart.SaveTo(svgPath);
    QSvgRenderer svg(svgPath);
    ASSERT_TRUE(svg.isValid());
    QFile file(svgPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    // Four solid and four dashed chance curves, the growth curve and the three marks, each a path or line.
    EXPECT_GE(text.count("<path") + text.count("<polyline"), 12);
    EXPECT_TRUE(text.contains("stroke-dasharray"));
    EXPECT_TRUE(QString::fromUtf8(text).contains(QStringLiteral("Ставка, % от банка")));
    EXPECT_TRUE(QString::fromUtf8(text).contains(
        QStringLiteral("Вероятность события 55 %, коэффициент 2, ставка 5 % (ставка Келли 10 %)")))
        << "a saved picture names its bet";
    EXPECT_TRUE(chart.Chart().title().isEmpty()) << "the window keeps its room for the plot";

    const QString pngPath = dir.filePath(QStringLiteral("chart.png"));
    chart.SaveTo(pngPath);
    const QImage png(pngPath);
    EXPECT_FALSE(png.isNull());
    EXPECT_GE(png.width(), chart.View().width());

    EXPECT_THROW(chart.SaveTo(dir.filePath(QStringLiteral("no-such-folder/chart.png"))), EInOutError);
}

// Saved from the window as a person does, while the help has made the work folder the current one.
TEST_F(RiskChart, ASavedPictureLandsOutsideTheWorkFolderAndOneInsideIsRefused) {
    QTemporaryDir root;
    const QString work = root.filePath(QStringLiteral("work"));
    const QString mine = root.filePath(QStringLiteral("мои"));
    QDir().mkpath(work);
    QDir().mkpath(mine);
    ProtectFolder(work);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work);
    TRiskChart& chart = OpenWith("55", "2", "");
    QStringList startedIn;
    ModalAnswerer answerer([&](QWidget& modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(&modal)) {
            startedIn << dialog->directory().absolutePath();
            dialog->selectFile((startedIn.size() == 1 ? work : mine) + QStringLiteral("/график-риска.png"));
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else {
            ModalAnswerer::PressEnter(modal);
        }
    });
    QTest::mouseClick(chart.Controls().SaveButton, Qt::LeftButton);
    QDir::setCurrent(previous);
    ForgetLastFolder();

    ASSERT_EQ(answerer.Seen().size(), 3U);
    EXPECT_EQ(answerer.Seen()[1].objectName, "MessageDialog");
    EXPECT_NE(QDir(startedIn.first()).canonicalPath(), QDir(work).canonicalPath());
    EXPECT_TRUE(QFileInfo::exists(mine + QStringLiteral("/график-риска.png")));
    EXPECT_TRUE(QDir(work).isEmpty());
}

TEST_F(RiskChart, MarkNamesStandAboveThePlotApartFromEachOther) {
    TRiskChart& chart = OpenWith("55", "2", "5"); // half Kelly and the typed stake at the same place
    chart.resize(860, 640);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    const QRectF plot = chart.Chart().plotArea();
    for (int mark = 0; mark < 3; ++mark) {
        const QRectF label = chart.MarkLabelRect(mark);
        ASSERT_FALSE(label.isEmpty()) << mark;
        EXPECT_LE(label.bottom(), plot.top()) << "no curve runs above the plot";
        EXPECT_GE(label.top(), 0);
        for (int other = 0; other < mark; ++other) {
            EXPECT_FALSE(label.intersects(chart.MarkLabelRect(other))) << mark << " and " << other;
        }
    }
    ui.pole3->clear();
    EXPECT_TRUE(chart.MarkLabelRect(2).isEmpty());
}

TEST_F(RiskChart, HoverTextGoesWhenThePointerLeaves) {
    TRiskChart& chart = OpenWith("55", "2", "");
    chart.show();
    const QPointF point = chart.FormulaSeries(0).at(10);
    emit chart.FormulaSeries(0).hovered(point, true);
    EXPECT_FALSE(chart.Controls().PointInfo->text().isEmpty());
    emit chart.FormulaSeries(0).hovered(point, false);
    EXPECT_TRUE(chart.Controls().PointInfo->text().isEmpty()) << "off the curve";

    emit chart.GrowthSeries().hovered(point, true);
    EXPECT_FALSE(chart.Controls().PointInfo->text().isEmpty());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&chart.View(), &leave);
    EXPECT_TRUE(chart.Controls().PointInfo->text().isEmpty()) << "out of the chart";
}

struct TickRow {
    const char* name;
    double span;
    double step;
};

class StakeTicks : public ::testing::TestWithParam<TickRow> {};

TEST_P(StakeTicks, AreRoundNumbers) {
    EXPECT_DOUBLE_EQ(RoundTickStep(GetParam().span), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(Spans, StakeTicks,
                         ::testing::Values(TickRow{"TwiceKellyOf10", 20, 5}, TickRow{"TypedStakeOf25", 25, 5},
                                           TickRow{"WholeBank", 100, 25}, TickRow{"Odd", 13.7, 2.5},
                                           TickRow{"Small", 0.3, 0.05}, TickRow{"Exact", 40, 10},
                                           TickRow{"Nothing", 0, 1}),
                         testing::RowName());

TEST_F(RiskChart, TheStakeAxisTicksAtRoundStakes) {
    TRiskChart& chart = OpenWith("55", "2", "25");
    auto* axis = qobject_cast<QValueAxis*>(chart.Chart().axes(Qt::Horizontal).first());
    EXPECT_EQ(axis->tickType(), QValueAxis::TicksDynamic);
    EXPECT_DOUBLE_EQ(axis->tickAnchor(), 0);
    EXPECT_DOUBLE_EQ(axis->tickInterval(), 5);
}

TEST_F(RiskChart, ItsAxesAreNamedForAssistiveTools) {
    InstallAccessibleControls(); // as the program does before any window exists
    TRiskChart& chart = OpenWith("55", "2", "");
    EXPECT_EQ(chart.accessibleName(), QStringLiteral("График риска"));
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&chart);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window) << "a frame, as readers announce windows";
    EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("График риска"));
    const QString description = chart.View().accessibleDescription();
    EXPECT_TRUE(description.contains(QStringLiteral("Ставка, % от банка")));
    EXPECT_TRUE(description.contains(QStringLiteral("Вероятность потерять долю банка, %")));
    EXPECT_TRUE(description.contains(QStringLiteral("Ожидаемый рост банка за ставку, %")));
}

// The help viewer as the help system drives it, recording each request instead of starting a program.
class RecordingViewer final : public IHelpViewerPlatform {
public:
    bool WinHelp(std::uintptr_t, const std::string& file, std::uint32_t, const std::string& text,
                 std::int32_t) override {
        requests.push_back(file + " " + text);
        return true;
    }
    void EnumTopLevelWindowClasses(const std::function<bool(std::string_view)>&) override {}
    bool ViewerNeedsRestart() override { return false; }
    void WaitForViewerExit() override {}
    std::vector<std::string> requests;
};

TEST_F(RiskChart, F1OpensTheHelpAtTheChart) {
    auto viewer = std::make_shared<RecordingViewer>();
    InstallHelpSystem({.WorkFolder = [] { return std::string("/nowhere"); },
                       .ActivateWindow = {},
                       .SendKeys = {},
                       .ViewerProgram = {},
                       .ServerName = {},
                       .Platform = viewer});
    TRiskChart& chart = OpenWith("55", "2", "");
    chart.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chart));
    QWidget* focused = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &chart;
    QTest::keyClick(focused, Qt::Key_F1);
    ShutdownHelpSystem();

    ASSERT_FALSE(viewer->requests.empty());
    EXPECT_TRUE(QString::fromStdString(viewer->requests.front()).contains(QStringLiteral("\"график риска\"")))
        << viewer->requests.front();
    EXPECT_TRUE(viewer->requests.front().starts_with("help.hlp ")) << viewer->requests.front();
}

// The program's own way to the chart: the module built beside the tests, loaded on first use.
class RiskChartModule : public ::testing::Test {
protected:
    RiskChartModule() : window(HelpHooks{[] {}, [] {}, [] {}}), ui(window.Controls()) {}
    ~RiskChartModule() override { window.close(); }

    TMain window;
    Ui::TMain& ui;
};

TEST_F(RiskChartModule, OpensTheWindowThatFollowsTheFields) {
    ui.pole1->setText(QStringLiteral("55"));
    ui.pole2->setText(QStringLiteral("2"));
    window.RiskChart().Action().trigger();
    IRiskChartWindow* chart = window.RiskChart().Window();
    ASSERT_NE(chart, nullptr);
    QWidget& shown = chart->Widget();
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(shown.windowTitle(), QStringLiteral("График риска"));
    auto* sentence = shown.findChild<QLabel*>(QStringLiteral("Sentence"));
    ASSERT_NE(sentence, nullptr);
    EXPECT_TRUE(sentence->isHidden());
    ui.pole1->setText(QStringLiteral("пятьдесят"));
    EXPECT_FALSE(sentence->isHidden());
    EXPECT_FALSE(sentence->text().isEmpty());

    window.RiskChart().Action().trigger();
    EXPECT_EQ(window.RiskChart().Window(), chart) << "one window at a time";
}

// The core it carries is its own copy: none of it may be found, or bound to, from outside.
TEST_F(RiskChartModule, ShowsOnlyItsEntry) {
    void* module = dlopen(BRELMONT_RISK_CHART_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    EXPECT_NE(dlsym(module, kRiskChartEntryName), nullptr);
    for (const char* inner :
         {"_ZN8brelmont23RefreshDecimalSeparatorEv", "_ZN8brelmont16DecimalSeparatorEv",
          "_ZN8brelmont16ApplicationTitleB5cxx11Ev", "_ZN8brelmont10TRiskChartC1EP7QWidget"}) {
        EXPECT_EQ(dlsym(module, inner), nullptr) << inner;
    }
    dlclose(module);
}

} // namespace
} // namespace brelmont
