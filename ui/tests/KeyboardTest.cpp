// SPDX-License-Identifier: MIT
// The main window with the mouse unplugged: Enter in each field runs its calculation with the same texts and
// messages as the panel's entry, the arrows walk the open command panel with the pointer's hover look and
// hint, each toolbar shortcut does what its button does and is named in the button's tooltip, and Enter
// closes the About box through its default OK.
#include "ContextMenuReader.h"
#include "ModalAnswerer.h"
#include "RecordingOpener.h"
#include "base/testing/RowName.h"
#include "ui/MainKeys.h"
#include "ui/Mainf.h"
#include "ui/aboutf.h"
#include "ui/widgets/ImageBtn.h"
#include "ui/widgets/UrlLabel.h"
#include "ui_Mainf.h"
#include "ui_aboutf.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

using testing::ModalAnswerer;

const QColor kLightGreen(0xF1, 0xF5, 0xEF);
const QColor kHoverGrey(0x80, 0x80, 0x80);

struct HelpCalls {
    int removals = 0;
    int shows = 0;
    HelpHooks Hooks() {
        return {[] {}, [this] { ++removals; }, [this] { ++shows; }};
    }
};

using testing::RecordingOpener;

class Keyboard : public ::testing::Test {
protected:
    Keyboard() : window(calls.Hooks()), ui(window.Controls()) {
        window.SetAbout(&about);
        window.show();
        QApplication::setActiveWindow(&window);
        ui.pole1->setFocus();
    }
    std::vector<std::string> Results() const {
        std::vector<std::string> texts;
        for (QLineEdit* field : {ui.pole3, ui.pole4, ui.pole5, ui.pole6, ui.pole7}) {
            texts.push_back(field->text().toStdString());
        }
        return texts;
    }
    void Type(QLineEdit* field, const char* text) {
        field->setFocus();
        QTest::keyClicks(field, text);
    }

    HelpCalls calls;
    TAbout about;
    TMain window;
    Ui::TMain& ui;
};

struct EnterRow {
    std::string name;
    const char* p;
    const char* k;
    const char* s;
    int field; // 1..3: the field Enter is pressed in
    Qt::Key key;
    std::vector<std::string> results; // pole3..pole7 afterwards
    std::vector<std::string> messages;
    int focusAfter;     // 1..3: the field that has the focus afterwards
    bool stakeSelected; // the stake field's whole text is selected, for a reader to say and a user to see
};

class EnterInAField : public Keyboard, public ::testing::WithParamInterface<EnterRow> {};

TEST_P(EnterInAField, RunsThatFieldsCalculationLikeThePanelEntry) {
    const EnterRow& row = GetParam();
    Type(ui.pole1, row.p);
    Type(ui.pole2, row.k);
    Type(ui.pole3, row.s);
    QLineEdit* fields[] = {ui.pole1, ui.pole2, ui.pole3};
    QLineEdit* field = fields[row.field - 1];
    field->setFocus();
    window.Btn1Click(); // an open panel is hidden, as choosing its entry hides it
    ModalAnswerer answerer;
    QTest::keyClick(field, row.key, row.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    EXPECT_FALSE(ui.menuz->isVisible());
    EXPECT_EQ(Results(), row.results);
    EXPECT_EQ(answerer.Texts(), row.messages);
    // Which control the window gives the keys to once it is active again after any message.
    EXPECT_EQ(window.focusWidget(), fields[row.focusAfter - 1]);
    EXPECT_EQ(ui.pole3->hasSelectedText() && ui.pole3->selectedText() == ui.pole3->text(), row.stakeSelected);
}

const std::vector<std::string> kKellyAt55{"10", "59,85", "39,82", "19,84", "9,88"};
const std::vector<std::string> kFiveAt55{"5", "21,3", "6,24", "0,77", "0,09"};

INSTANTIATE_TEST_SUITE_P(
    Fields, EnterInAField,
    ::testing::Values(
        EnterRow{"ProbabilityComputesAll", "55", "2", "old", 1, Qt::Key_Return, kKellyAt55, {}, 3, true},
        EnterRow{
            "OddsComputesAllWithKeypadEnter", "55", "2.0", "", 2, Qt::Key_Enter, kKellyAt55, {}, 3, true},
        EnterRow{"StakeComputesProbabilities", "55", "2", "5", 3, Qt::Key_Return, kFiveAt55, {}, 3, false},
        EnterRow{"StakeWithKeypadEnter", "55", "2", "5", 3, Qt::Key_Enter, kFiveAt55, {}, 3, false},
        EnterRow{"EmptyOddsNamedAsByThePanel",
                 "55",
                 "",
                 "",
                 1,
                 Qt::Key_Return,
                 {"", "", "", "", ""},
                 {"Вы не заполнили поле Коэффициент."},
                 1,
                 false},
        EnterRow{"EmptyStakeNamedAsByThePanel",
                 "55",
                 "2",
                 "",
                 3,
                 Qt::Key_Return,
                 {"", "", "", "", ""},
                 {"Вы не заполнили поле Ставка в % от банка."},
                 3,
                 false}),
    brelmont::testing::RowName{});

TEST_F(Keyboard, AfterAdviceTheFocusStaysForTheCorrection) {
    Type(ui.pole1, "40");
    Type(ui.pole2, "2");
    ModalAnswerer answerer;
    QTest::keyClick(ui.pole2, Qt::Key_Return);
    EXPECT_EQ(answerer.Texts().size(), 1u); // the bet has no value
    EXPECT_EQ(ui.pole3->text(), "-20");
    EXPECT_EQ(window.focusWidget(), ui.pole2);
}

TEST_F(Keyboard, EnterInAResultFieldCalculatesNothing) {
    Type(ui.pole1, "55");
    Type(ui.pole2, "2");
    ui.pole5->setFocus();
    QTest::keyClick(ui.pole5, Qt::Key_Return);
    EXPECT_EQ(Results(), std::vector<std::string>(5, ""));
}

TEST_F(Keyboard, ArrowsWalkTheOpenPanelWithThePointersLookAndEnterRunsTheEntry) {
    Type(ui.pole1, "55");
    Type(ui.pole2, "2");
    Type(ui.pole3, "5");
    window.Btn1Click();
    QTest::keyClick(ui.pole3, Qt::Key_Down);
    EXPECT_EQ(window.Keys().Highlighted(), 1);
    EXPECT_EQ(ui.Panel15->palette().color(QPalette::Window), kHoverGrey);
    EXPECT_EQ(ui.HElP->text(), "Вероятность проигрыша");
    QTest::keyClick(ui.pole3, Qt::Key_Down);
    EXPECT_EQ(ui.Panel15->palette().color(QPalette::Window), kLightGreen);
    EXPECT_EQ(ui.Panel16->palette().color(QPalette::Window), kHoverGrey);
    EXPECT_EQ(ui.HElP->text(), "Все вычисления");
    QTest::keyClick(ui.pole3, Qt::Key_Down); // wraps round
    EXPECT_EQ(window.Keys().Highlighted(), 1);
    QTest::keyClick(ui.pole3, Qt::Key_Up);
    EXPECT_EQ(window.Keys().Highlighted(), 2);
    EXPECT_EQ(ui.pole3->text(), "5"); // the arrows never reached the field

    // Enter in the stake field would compute probabilities; the highlighted entry wins.
    QTest::keyClick(ui.pole3, Qt::Key_Return);
    EXPECT_FALSE(ui.menuz->isVisible());
    EXPECT_EQ(Results(), kKellyAt55);
    EXPECT_EQ(ui.Panel16->palette().color(QPalette::Window), kLightGreen);
    EXPECT_EQ(ui.HElP->text(), "");
    EXPECT_EQ(window.Keys().Highlighted(), 0);
}

TEST_F(Keyboard, EscapeStillHidesThePanelAndDropsTheHighlight) {
    QTest::keyClick(ui.pole1, Qt::Key_F10);
    ASSERT_TRUE(ui.menuz->isVisible());
    EXPECT_EQ(window.Keys().Highlighted(), 1);
    QTest::keyClick(ui.pole1, Qt::Key_Escape);
    EXPECT_FALSE(ui.menuz->isVisible());
    EXPECT_EQ(window.Keys().Highlighted(), 0);
    EXPECT_EQ(ui.Panel15->palette().color(QPalette::Window), kLightGreen);
    EXPECT_EQ(ui.HElP->text(), "");
    // With the panel closed the arrows are the field's again.
    QTest::keyClick(ui.pole1, Qt::Key_Down);
    EXPECT_EQ(window.Keys().Highlighted(), 0);
}

TEST_F(Keyboard, StartOpensThePanelAtItsFirstEntryAndEnterComputesProbabilities) {
    Type(ui.pole1, "55");
    Type(ui.pole2, "2");
    Type(ui.pole3, "5");
    ui.pole1->setFocus();
    QTest::keyClick(ui.pole1, Qt::Key_F10);
    EXPECT_TRUE(ui.menuz->isVisible());
    EXPECT_EQ(ui.Panel15->palette().color(QPalette::Window), kHoverGrey);
    QTest::keyClick(ui.pole1, Qt::Key_Return);
    EXPECT_EQ(Results(), kFiveAt55);
}

TEST_F(Keyboard, ShortcutsClearHelpSiteAboutAndExitLikeTheirButtons) {
    RecordingOpener opener;
    SetUrlOpener(&opener);
    Type(ui.pole1, "55");
    window.Btn1Click();
    QTest::keyClick(ui.pole1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ui.pole1->text(), "");
    EXPECT_FALSE(ui.menuz->isVisible());

    QTest::keyClick(ui.pole1, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(calls.shows, 1);

    QTest::keyClick(ui.pole1, Qt::Key_G, Qt::ControlModifier);
    SetUrlOpener(nullptr);
    EXPECT_EQ(opener.opened, std::vector<std::string>{"https://brelmont.example/"});

    {
        ModalAnswerer answerer; // Enter: the About box's default button closes it
        QTest::keyClick(ui.pole1, Qt::Key_I, Qt::ControlModifier);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].objectName, "TAbout");
        EXPECT_FALSE(about.isVisible());
    }

    QApplication::setActiveWindow(&window);
    QTest::keyClick(ui.pole1, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(calls.removals, 1);
}

TEST_F(Keyboard, ClearPutsTheFocusInTheProbabilityField) {
    Type(ui.pole1, "55");
    Type(ui.pole2, "2");
    QTest::keyClick(ui.pole2, Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), ui.pole3);
    QTest::keyClick(ui.pole3, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Results(), std::vector<std::string>(5, ""));
    EXPECT_EQ(QApplication::focusWidget(), ui.pole1);
    QTest::keyClicks(QApplication::focusWidget(), "60");
    EXPECT_EQ(ui.pole1->text(), "60");
}

TEST_F(Keyboard, ShiftF10OpensEveryFieldsMenuInRussian) {
    Type(ui.pole1, "55");
    for (QLineEdit* field : {ui.pole1, ui.pole5}) {
        // The window manager gives the window back its activation once a menu closes; the test does here.
        QApplication::setActiveWindow(&window);
        field->setFocus();
        const QStringList entries =
            testing::ContextMenuEntries([field] { QTest::keyClick(field, Qt::Key_F10, Qt::ShiftModifier); });
        EXPECT_TRUE(entries.contains("Копировать")) << field->objectName().toStdString();
        EXPECT_TRUE(entries.contains("Выделить всё")) << field->objectName().toStdString();
        for (const QString& entry : entries) {
            EXPECT_FALSE(testing::HasLatinLetter(entry)) << entry.toStdString();
        }
    }
    // F10 alone is still the Start button's.
    EXPECT_FALSE(ui.menuz->isVisible());
    QApplication::setActiveWindow(&window);
    QTest::keyClick(ui.pole5, Qt::Key_F10);
    EXPECT_TRUE(ui.menuz->isVisible());
}

TEST_F(Keyboard, EveryButtonsTooltipNamesItsShortcut) {
    for (const ToolbarShortcut& shortcut : ToolbarShortcuts()) {
        auto* button = window.findChild<TImageBtn*>(QString::fromLatin1(shortcut.button));
        ASSERT_NE(button, nullptr) << shortcut.button;
        const QString keys = shortcut.keys.toString(QKeySequence::NativeText);
        EXPECT_TRUE(button->toolTip().endsWith(" (" + keys + ")")) << button->toolTip().toStdString();
        EXPECT_TRUE(button->toolTip().startsWith(button->accessibleName())) << shortcut.button;
    }
    // The site button is disabled and shows no tooltip; the link under it carries the site's.
    EXPECT_EQ(ui.UrlLabel2->toolTip(), ui.ImageBtn3->toolTip());
}

TEST(AboutBoxKeys, OkIsTheDefaultButtonAndEscapeStillDoesNothing) {
    TAbout about;
    EXPECT_TRUE(about.Controls().Button1->isDefault());
    about.show();
    QApplication::setActiveWindow(&about);
    about.Controls().Button1->setFocus();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_TRUE(about.isVisible());
    about.Controls().LabelFill1->setFocus();
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), 2);
}

} // namespace
} // namespace brelmont
