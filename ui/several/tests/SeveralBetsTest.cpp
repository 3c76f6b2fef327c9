// SPDX-License-Identifier: MIT
// The window "Несколько ставок" as a bettor meets it: opened from the main window's menu and shortcut, one at
// a time and gone with the main window; a table whose stakes are the several-bets core's for the published
// cases; cells checked as typed, rows added, removed and pasted from a spreadsheet; the mode switch; fair
// probabilities from the market's odds; the chosen risk; and plain sentences in place of error boxes.
#include "base/testing/RowName.h"
#include "multibet/FairOdds.h"
#include "ui/Mainf.h"
#include "ui/RiskChartOpener.h"
#include "ui/several/BetsTableModel.h"
#include "ui/several/SeveralBetsOpener.h"
#include "ui/several/SeveralBetsf.h"
#include "ui/tests/ModalAnswerer.h"
#include "ui_Mainf.h"
#include "ui_SeveralBetsf.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

// Fills the table's typed cells, row by row: name, odds, probability, commission.
void Fill(TSeveralBets& window, const std::vector<BetRow>& rows) {
    window.Model().SetRows(rows);
}

void WaitForChances(TSeveralBets& window) {
    if (window.ChancesPending()) {
        QSignalSpy ready(&window, &TSeveralBets::ChancesReady);
        ASSERT_TRUE(ready.wait(120000));
    }
    ASSERT_FALSE(window.ChancesPending());
}

double Shown(TSeveralBets& window, int row, int column) {
    return window.Model().data(window.Model().index(row, column), BetsTableModel::kValueRole).toDouble();
}

struct PublishedCase {
    std::string name;
    int mode; // the Mode list's index: 0 one event's outcomes, 1 independent events
    std::vector<BetRow> rows;
    std::vector<double> stakes; // percent
    std::vector<double> single; // percent, or empty when not published
    double tolerance;
};

class PublishedCases : public ::testing::TestWithParam<PublishedCase> {};

TEST_P(PublishedCases, TheTableShowsTheCoresStakes) {
    const PublishedCase& c = GetParam();
    TSeveralBets window;
    window.Controls().Mode->setCurrentIndex(c.mode);
    Fill(window, c.rows);
    ASSERT_TRUE(window.Plan().has_value()) << window.Controls().Sentence->text().toStdString();
    for (std::size_t i = 0; i < c.stakes.size(); ++i) {
        EXPECT_NEAR(Shown(window, static_cast<int>(i), BetsTableModel::kStake), c.stakes[i], c.tolerance)
            << "row " << i;
        if (!c.single.empty()) {
            EXPECT_NEAR(Shown(window, static_cast<int>(i), BetsTableModel::kSingle), c.single[i],
                        c.tolerance);
        }
    }
    // The table's own text is the value with the decimal comma.
    const QString text = window.Model().index(0, BetsTableModel::kStake).data().toString();
    EXPECT_FALSE(text.contains(u'.')) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    SeveralBets, PublishedCases,
    ::testing::Values(PublishedCase{"FiveOutcomesOfOneRace",
                                    0,
                                    {{"A", "5,5", "20", ""},
                                     {"B", "2.625", "40", ""},
                                     {"C", "9/4", "30", ""},
                                     {"D", "+500", "8", ""},
                                     {"E", "21", "2", ""}},
                                    {5.964, 10.5913, 6.2468, 0, 0},
                                    {},
                                    5e-4},
                      PublishedCase{"TwoIndependentEvenMoneyBets",
                                    1,
                                    {{"Матч 1", "2", "55", ""}, {"Матч 2", "2", "55", ""}},
                                    {9.90099, 9.90099},
                                    {10, 10},
                                    5e-5},
                      PublishedCase{
                          "ExchangeCommission", 1, {{"Биржа", "2,1", "50", "5"}}, {2.1531}, {2.1531}, 5e-4}),
    ::testing::PrintToStringParamName());

class SeveralBetsWindow : public ::testing::Test {
protected:
    TSeveralBets window;
    Ui::TSeveralBets& ui = window.Controls();
    BetsTableModel& model = window.Model();
};

TEST_F(SeveralBetsWindow, ACellThatCannotBeReadSaysWhyAndNothingIsStaked) {
    Fill(window, {{"Дома", "2,6", "40", ""}, {"Ничья", "1/0", "30", ""}, {"Гости", "4,3", "", ""}});
    EXPECT_FALSE(window.Plan().has_value());
    EXPECT_FALSE(model.CellError(1, BetsTableModel::kOdds).isEmpty());
    EXPECT_TRUE(model.CellError(1, BetsTableModel::kOdds).contains(QStringLiteral("1/0")));
    EXPECT_FALSE(model.CellError(2, BetsTableModel::kProbability).isEmpty());
    EXPECT_TRUE(model.CellError(0, BetsTableModel::kOdds).isEmpty());
    // The reason is the cell's tool tip and description, and is written under the table.
    const QModelIndex bad = model.index(1, BetsTableModel::kOdds);
    EXPECT_EQ(bad.data(Qt::ToolTipRole).toString(), model.CellError(1, BetsTableModel::kOdds));
    EXPECT_EQ(bad.data(Qt::AccessibleDescriptionRole).toString(), model.CellError(1, BetsTableModel::kOdds));
    ui.Table->setCurrentIndex(bad);
    EXPECT_TRUE(ui.CellError->text().contains(QStringLiteral("1/0")));
    EXPECT_TRUE(model.index(0, BetsTableModel::kStake).data().toString().isEmpty());

    // Mended as typed: the stakes appear at once.
    model.setData(bad, QStringLiteral("3,5"), Qt::EditRole);
    model.setData(model.index(2, BetsTableModel::kProbability), QStringLiteral("22"), Qt::EditRole);
    EXPECT_TRUE(window.Plan().has_value());
    EXPECT_TRUE(ui.CellError->text().isEmpty());
}

TEST_F(SeveralBetsWindow, TypingIntoTheTableAndItsRowKeys) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ui.Table->setFocus();
    const int before = model.rowCount();
    ui.Table->setCurrentIndex(model.index(0, BetsTableModel::kOdds));
    QTest::keyClick(ui.Table, Qt::Key_F2);
    auto* editor = ui.Table->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("2,5"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits from a queued call
    EXPECT_EQ(model.Rows()[0].odds, QStringLiteral("2,5"));

    QTest::keyClick(ui.Table, Qt::Key_Insert);
    EXPECT_EQ(model.rowCount(), before + 1);
    EXPECT_EQ(ui.Table->currentIndex().row(), 1) << "the new row comes after the current one";
    QTest::keyClick(ui.Table, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(model.rowCount(), before);
    EXPECT_EQ(model.Rows()[0].odds, QStringLiteral("2,5"));

    ui.Table->setCurrentIndex(model.index(0, BetsTableModel::kOdds));
    QTest::keyClick(ui.Table, Qt::Key_Delete);
    EXPECT_TRUE(model.Rows()[0].odds.isEmpty()) << "Delete clears the selected cells";
}

TEST_F(SeveralBetsWindow, PastesASpreadsheetsRowsWithTabsOrSemicolons) {
    struct Row {
        std::string name;
        QString text;
    };
    for (const Row& row : {Row{"tabs with a header",
                               QStringLiteral("Исход\tКоэффициент\tВероятность\nДома\t2,6\t38\nНичья\t2,4\t"
                                              "40\nГости\t4,3\t22\n")},
                           Row{"semicolons, Windows lines",
                               QStringLiteral("Дома;2,6;38\r\nНичья;2,4;40\r\nГости;4,3;22\r\n")}}) {
        SCOPED_TRACE(row.name);
        TSeveralBets fresh;
        QApplication::clipboard()->setText(row.text);
        fresh.Controls().Table->setCurrentIndex(fresh.Model().index(0, 0));
        fresh.PasteRows();
        ASSERT_GE(fresh.Model().rowCount(), 3);
        EXPECT_EQ(fresh.Model().Rows()[0].name, QStringLiteral("Дома"));
        EXPECT_EQ(fresh.Model().Rows()[2].odds, QStringLiteral("4,3"));
        EXPECT_EQ(fresh.Model().Rows()[1].probability, QStringLiteral("40"));
        EXPECT_TRUE(fresh.Plan().has_value());
    }
    // More rows than the table holds change nothing.
    QString many;
    for (int i = 0; i <= BetsTableModel::kMaxRows; ++i) {
        many += QStringLiteral("x;2;10\n");
    }
    EXPECT_THROW(model.Paste(many, 0), EConvertError);
    EXPECT_EQ(model.rowCount(), 3);
}

TEST_F(SeveralBetsWindow, SavedBetsOpenAsTheyWereTyped) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("ставки.csv"));
    const std::vector<BetRow> typed{
        {QStringLiteral("Дома; основное время"), QStringLiteral("2,6"), QStringLiteral("37,2994"), QString()},
        {QStringLiteral("Ничья"), QStringLiteral("7/5"), QStringLiteral("40"), QStringLiteral("2,5")},
        {QStringLiteral("Гости"), QStringLiteral("+330"), QStringLiteral("22"), QString()}};
    Fill(window, typed);
    window.SaveFile(path);

    TSeveralBets opened;
    opened.OpenFile(path);
    ASSERT_EQ(opened.Model().Rows().size(), typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        EXPECT_EQ(opened.Model().Rows()[i].name, typed[i].name);
        EXPECT_EQ(opened.Model().Rows()[i].odds, typed[i].odds);
        EXPECT_EQ(opened.Model().Rows()[i].probability, typed[i].probability);
        EXPECT_EQ(opened.Model().Rows()[i].commission, typed[i].commission);
    }
    ASSERT_TRUE(opened.Plan().has_value() && window.Plan().has_value());
    EXPECT_EQ(opened.Plan()->stakes, window.Plan()->stakes);

    // A file with a line it cannot read says which, and the table keeps what it had.
    QFile bad(folder.filePath(QStringLiteral("плохой.csv")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("name;odds;probability\nA;2;40\nB;ноль;30\n");
    bad.close();
    try {
        opened.OpenFile(bad.fileName());
        ADD_FAILURE() << "a bad line was read";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find('3'), std::string::npos) << e.what();
    }
    EXPECT_EQ(opened.Model().Rows().size(), typed.size());

    // A row that cannot be read is not saved over a good file.
    model.setData(model.index(1, BetsTableModel::kOdds), QStringLiteral("1/0"), Qt::EditRole);
    EXPECT_THROW(window.SaveFile(path), EConvertError);
    TSeveralBets again;
    again.OpenFile(path);
    EXPECT_EQ(again.Model().Rows().size(), typed.size());
}

TEST_F(SeveralBetsWindow, TheModeSwitchRestakesTheSameRows) {
    Fill(window, {{"A", "2,2", "50", ""}, {"B", "2,5", "45", ""}});
    ASSERT_TRUE(window.Plan().has_value());
    const std::vector<double> exclusive = window.Plan()->stakes;
    ui.Mode->setCurrentIndex(1);
    ASSERT_TRUE(window.Plan().has_value());
    EXPECT_NE(window.Plan()->stakes, exclusive);
    EXPECT_FALSE(ui.Fair->isEnabled()) << "fair odds belong to one event's outcomes";
    ui.Mode->setCurrentIndex(0);
    ASSERT_TRUE(window.Plan().has_value());
    EXPECT_EQ(window.Plan()->stakes, exclusive);
    EXPECT_TRUE(ui.Fair->isEnabled());
}

TEST_F(SeveralBetsWindow, FairOddsFillTheProbabilitiesByTheChosenMethod) {
    Fill(window, {{"Дома", "2,6", "", ""}, {"Ничья", "2,4", "", ""}, {"Гости", "4,3", "", ""}});
    EXPECT_EQ(ui.Margin->text(), QString());
    for (int method = 0; method < 4; ++method) {
        ui.FairMethod->setCurrentIndex(method);
        ui.Fair->click();
        const FairProbabilities expected =
            FairFromOdds(std::vector<double>{2.6, 2.4, 4.3}, static_cast<DevigMethod>(method));
        for (int row = 0; row < 3; ++row) {
            EXPECT_NEAR(QString(model.Rows()[static_cast<std::size_t>(row)].probability)
                            .replace(u',', u'.')
                            .toDouble(),
                        100 * expected.probabilities[static_cast<std::size_t>(row)], 1e-4)
                << "method " << method << ", row " << row;
        }
    }
    EXPECT_EQ(ui.Margin->text(), QStringLiteral("Маржа букмекера: 3,38 %"));
    // Fair probabilities have no value at the market's own odds; the bettor adjusts one.
    ASSERT_TRUE(window.Plan().has_value());
    EXPECT_EQ(window.Plan()->outcome, PlanOutcome::NoValue);
    model.setData(model.index(0, BetsTableModel::kProbability), QStringLiteral("42"), Qt::EditRole);
    EXPECT_FALSE(window.Plan().has_value()) << "the outcomes add up to more than 100 %";
    EXPECT_TRUE(ui.Sentence->text().contains(QStringLiteral("100"))) << ui.Sentence->text().toStdString();
    model.setData(model.index(1, BetsTableModel::kProbability), QStringLiteral("35"), Qt::EditRole);
    ASSERT_TRUE(window.Plan().has_value()) << ui.Sentence->text().toStdString();
    EXPECT_EQ(window.Plan()->outcome, PlanOutcome::Ok);
    EXPECT_GT(window.Plan()->stakes[0], 0);
}

TEST_F(SeveralBetsWindow, FairOddsNameARowWhoseOddsCannotBeRead) {
    Fill(window, {{"Дома", "2,6", "", ""}, {"Ничья", "ничья", "", ""}});
    ui.Fair->click();
    EXPECT_TRUE(ui.Sentence->text().contains(QStringLiteral("Строка 2")))
        << ui.Sentence->text().toStdString();
    EXPECT_TRUE(model.Rows()[0].probability.isEmpty());
}

TEST_F(SeveralBetsWindow, TheChosenRiskHoldsTheChanceOfTheDrawdown) {
    ui.Mode->setCurrentIndex(1);
    Fill(window, {{"1", "2", "55", ""}, {"2", "1,9", "58", ""}, {"3", "2,2", "50", ""}});
    WaitForChances(window);
    ASSERT_TRUE(window.Chances().has_value() && window.Plan().has_value());
    const double fullKelly40 = (*window.Chances())[0].lower;
    ASSERT_GT(fullKelly40, 0.10) << "the full stakes risk more than the limit below";
    const double fullTotal = window.Plan()->total;

    ui.RiskLevel->setCurrentIndex(0); // 40 % of the bank
    ui.RiskChance->setText(QStringLiteral("10"));
    ui.Risk->setChecked(true);
    // Stakes held to a risk come from the worker: the fields say so meanwhile.
    EXPECT_EQ(ui.Total->text(), QStringLiteral("вычисляется…"));
    EXPECT_EQ(ui.Chance40->text(), QStringLiteral("вычисляется…"));
    WaitForChances(window);
    ASSERT_TRUE(window.Plan().has_value() && window.Chances().has_value())
        << ui.Sentence->text().toStdString();
    EXPECT_LT(window.Plan()->total, fullTotal);
    EXPECT_LE((*window.Chances())[0].upper, 0.10 + 1e-9);
    EXPECT_TRUE(ui.Chance40->text().startsWith(QStringLiteral("от "))) << ui.Chance40->text().toStdString();

    // Applied as typed, and gone when unticked.
    ui.RiskChance->setText(QStringLiteral("5"));
    WaitForChances(window);
    ASSERT_TRUE(window.Chances().has_value());
    EXPECT_LE((*window.Chances())[0].upper, 0.05 + 1e-9);
    ui.Risk->setChecked(false);
    ASSERT_TRUE(window.Plan().has_value());
    EXPECT_DOUBLE_EQ(window.Plan()->total, fullTotal);
}

TEST_F(SeveralBetsWindow, ANewerEditDropsTheChancesOfTheOlderOne) {
    ui.Mode->setCurrentIndex(1);
    Fill(window, {{"1", "2", "55", ""}, {"2", "2", "55", ""}});
    ASSERT_TRUE(window.ChancesPending());
    model.setData(model.index(1, BetsTableModel::kProbability), QStringLiteral("60"), Qt::EditRole);
    WaitForChances(window);
    ASSERT_TRUE(window.Plan().has_value() && window.Chances().has_value());
    const StakePlan plan = *window.Plan();
    const auto expected = DrawdownChances(std::vector<Bet>{{"1", 2, 0.55, 0}, {"2", 2, 0.6, 0}},
                                          BetMode::Independent, plan.stakes);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ((*window.Chances())[i].upper, expected[i].upper);
    }
}

struct SentenceCase {
    std::string name;
    int mode;
    std::vector<BetRow> rows;
    QString fraction;
    QString sentencePart;
};

class PlainSentences : public ::testing::TestWithParam<SentenceCase> {};

TEST_P(PlainSentences, ShowInTheWindowWithoutAnErrorBox) {
    const SentenceCase& c = GetParam();
    ::brelmont::testing::ModalAnswerer answerer;
    TSeveralBets window;
    window.Controls().Mode->setCurrentIndex(c.mode);
    window.Controls().Fraction->setText(c.fraction);
    Fill(window, c.rows);
    QApplication::processEvents();
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(window.Controls().Sentence->isVisibleTo(&window));
    EXPECT_TRUE(window.Controls().Sentence->text().contains(c.sentencePart))
        << window.Controls().Sentence->text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(SeveralBets, PlainSentences,
                         ::testing::Values(SentenceCase{"NoBetHasValue",
                                                        1,
                                                        {{"1", "1,8", "50", ""}, {"2", "2", "45", ""}},
                                                        {},
                                                        QStringLiteral("Ни одна ставка не выгодна")},
                                           SentenceCase{"OutcomesAddUpToMoreThanAll",
                                                        0,
                                                        {{"1", "2", "60", ""}, {"2", "2", "50", ""}},
                                                        {},
                                                        QStringLiteral("100")},
                                           SentenceCase{"FractionAboveOne",
                                                        1,
                                                        {{"1", "2", "55", ""}},
                                                        QStringLiteral("1,5"),
                                                        QStringLiteral("Доля от Келли")},
                                           SentenceCase{
                                               "AnEmptyTable", 1, {}, {}, QStringLiteral("Введите")}),
                         ::testing::PrintToStringParamName());

TEST_F(SeveralBetsWindow, AmountsFollowTheBank) {
    ui.Mode->setCurrentIndex(1);
    Fill(window, {{"1", "2", "55", ""}});
    EXPECT_TRUE(model.index(0, BetsTableModel::kAmount).data().toString().isEmpty());
    ui.Bank->setText(QStringLiteral("1000"));
    ASSERT_TRUE(window.Plan().has_value());
    EXPECT_NEAR(Shown(window, 0, BetsTableModel::kAmount), 1000 * window.Plan()->stakes[0], 1e-9);
    EXPECT_FALSE(model.index(0, BetsTableModel::kAmount).data().toString().contains(u'.'));
}

class OpeningFromTheMainWindow : public ::testing::Test {
protected:
    OpeningFromTheMainWindow() : main(HelpHooks{[] {}, [] {}, [] {}}), ui(main.Controls()) {
        main.SeveralBets().SetFactory([] { return new TSeveralBets(); });
    }
    ~OpeningFromTheMainWindow() override { main.close(); }

    TSeveralBets* Window() { return dynamic_cast<TSeveralBets*>(main.SeveralBets().Window()); }

    TMain main;
    Ui::TMain& ui;
};

TEST_F(OpeningFromTheMainWindow, TheResultFieldsMenuOffersItBesideTheChart) {
    for (QLineEdit* field : {ui.pole4, ui.pole5, ui.pole6, ui.pole7}) {
        std::unique_ptr<QMenu> menu(main.RiskChart().BuildMenu(*field));
        const QList<QAction*> actions = menu->actions();
        qsizetype chart = -1;
        qsizetype several = -1;
        for (qsizetype i = 0; i < actions.size(); ++i) {
            if (actions[i]->text() == QStringLiteral("Показать график риска")) {
                chart = i;
            } else if (actions[i]->text() == QStringLiteral("Несколько ставок…")) {
                several = i;
            }
        }
        ASSERT_GE(chart, 0);
        ASSERT_EQ(several, chart + 1) << "right after the chart's entry";
        EXPECT_EQ(actions[several]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        actions[several]->trigger();
        ASSERT_NE(Window(), nullptr);
        EXPECT_EQ(Window()->windowTitle(), QStringLiteral("Несколько ставок"));
    }
}

TEST_F(OpeningFromTheMainWindow, TheShortcutOpensOneWindowBesideItThatClosesWithIt) {
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    ui.pole1->setFocus();
    QTest::keyClick(ui.pole1, Qt::Key_B, Qt::ControlModifier);
    QPointer<TSeveralBets> first = Window();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    const QRect screen = main.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(first->frameGeometry()))
        << "within the screen " << screen.width() << "x" << screen.height() << " "
        << first->frameGeometry().x() << "," << first->frameGeometry().y() << " "
        << first->frameGeometry().width() << "x" << first->frameGeometry().height() << " min "
        << first->minimumSizeHint().width() << "x" << first->minimumSizeHint().height();
    if (screen.right() - main.frameGeometry().right() > first->frameGeometry().width() + 8) {
        EXPECT_FALSE(first->frameGeometry().intersects(main.frameGeometry()))
            << "beside the main window where the screen has room";
    }
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(ui.pole1, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Window(), first.data());

    main.close();
    EXPECT_TRUE(first == nullptr || !first->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first == nullptr);
}

// The program's own way to the window: the module built beside the tests, loaded on first use.
TEST(SeveralBetsModule, OpensTheWindowAndShowsOnlyItsEntry) {
    TMain main(HelpHooks{[] {}, [] {}, [] {}});
    main.SeveralBets().Action().trigger();
    ISeveralBetsWindow* opened = main.SeveralBets().Window();
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->Widget().isVisible());
    EXPECT_EQ(opened->Widget().windowTitle(), QStringLiteral("Несколько ставок"));
    EXPECT_NE(opened->Widget().findChild<QTableView*>(QStringLiteral("Table")), nullptr);
    main.SeveralBets().Action().trigger();
    EXPECT_EQ(main.SeveralBets().Window(), opened) << "one window at a time";
    main.close();

    void* module = dlopen(BRELMONT_SEVERAL_BETS_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    EXPECT_NE(dlsym(module, kSeveralBetsEntryName), nullptr);
    for (const char* inner : {"_ZN8brelmont23RefreshDecimalSeparatorEv",
                              "_ZN8brelmont10PlanStakesERKNS_11PlanRequestEPKSt6atomicIbE"}) {
        EXPECT_EQ(dlsym(module, inner), nullptr) << inner;
    }
    dlclose(module);
}

} // namespace
} // namespace brelmont
