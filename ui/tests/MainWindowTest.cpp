// SPDX-License-Identifier: MIT
// The main window as a person meets it: where every control stands and what it says, each handler's effect
// on the command panel and the hint line, both calculations and clear through the real fields and message
// dialog, Escape while a field has focus, the site link under the disabled site button, and the creation and
// close handlers' calls into the help delivery.
#include "ModalAnswerer.h"
#include "RecordingOpener.h"
#include "base/Exception.h"
#include "base/testing/RowName.h"
#include "ui/Mainf.h"
#include "ui/aboutf.h"
#include "ui/widgets/ImageBtn.h"
#include "ui/widgets/UrlLabel.h"
#include "ui_Mainf.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::ModalAnswerer;

// Help calls are counted, never made: the tests must not unpack anything.
struct HelpCalls {
    int unpacks = 0;
    int removals = 0;
    int shows = 0;
    HelpHooks Hooks() {
        return {[this] { ++unpacks; }, [this] { ++removals; }, [this] { ++shows; }};
    }
};

using testing::RecordingOpener;

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : window(calls.Hooks()), ui(window.Controls()) {}
    HelpCalls calls;
    TMain window;
    Ui::TMain& ui;
};

QWidget* Find(QWidget& root, const std::string& name) {
    return root.findChild<QWidget*>(QString::fromStdString(name));
}

void SendMove(QWidget& widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

void SendLeave(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
}

void SendClick(QWidget& widget) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
}

struct PlaceRow {
    std::string name;
    int x, y, width, height; // width and height -1: the control sizes itself to its caption
};

class MainWindowPlaces : public MainWindow, public ::testing::WithParamInterface<PlaceRow> {};

TEST_P(MainWindowPlaces, StandsWhereTheDesignPutsIt) {
    const PlaceRow& row = GetParam();
    QWidget* control = Find(window, row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->pos(), QPoint(row.x, row.y));
    if (row.width >= 0) {
        EXPECT_EQ(control->size(), QSize(row.width, row.height));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Design, MainWindowPlaces,
    ::testing::Values(PlaceRow{"Image1", 0, 0, 584, 73}, PlaceRow{"UrlLabel1", 0, 0, 576, 73},
                      PlaceRow{"Panel17", 0, 73, 584, 48}, PlaceRow{"Image2", 1, 8, 17, 33},
                      PlaceRow{"UrlLabel2", 288, 8, 576, 73}, PlaceRow{"Btn1", 152, 10, 30, 30},
                      PlaceRow{"ImageBtn2", 200, 8, 34, 32}, PlaceRow{"ImageBtn6", 242, 8, 32, 32},
                      PlaceRow{"ImageBtn3", 288, 8, 32, 35}, PlaceRow{"ImageBtn4", 336, 8, 32, 32},
                      PlaceRow{"ImageBtn5", 384, 5, 32, 35}, PlaceRow{"Panel1", 0, 121, 584, 296},
                      PlaceRow{"Label14", 348, 40, -1, -1}, PlaceRow{"HElP", 236, 16, -1, -1},
                      PlaceRow{"menuz", 5, 2, 193, 74}, PlaceRow{"Panel15", 1, 1, 191, 37},
                      PlaceRow{"Label15", 9, 9, -1, -1}, PlaceRow{"Panel16", 1, 38, 191, 35},
                      PlaceRow{"Label16", 9, 7, -1, -1}, PlaceRow{"Panel2", 15, 94, 170, 49},
                      PlaceRow{"Panel5", 185, 94, 120, 49}, PlaceRow{"Panel3", 15, 143, 170, 49},
                      PlaceRow{"Panel6", 185, 143, 120, 49}, PlaceRow{"Panel4", 15, 192, 170, 49},
                      PlaceRow{"Panel7", 185, 192, 120, 49}, PlaceRow{"Panel8", 322, 71, 119, 49},
                      PlaceRow{"Panel12", 441, 71, 128, 49}, PlaceRow{"Panel9", 322, 120, 119, 49},
                      PlaceRow{"Panel13", 441, 120, 128, 49}, PlaceRow{"Panel10", 322, 169, 119, 49},
                      PlaceRow{"Panel14", 441, 169, 128, 49}, PlaceRow{"Panel11", 322, 218, 119, 49},
                      PlaceRow{"Panel18", 441, 218, 128, 49}, PlaceRow{"pole1", 8, 10, 80, 32},
                      PlaceRow{"pole4", 8, 10, 80, 32}, PlaceRow{"pole7", 8, 10, 80, 32},
                      PlaceRow{"Label1", 4, 16, -1, -1}, PlaceRow{"Label8", 96, 16, -1, -1},
                      PlaceRow{"Label13", 96, 16, -1, -1}),
    brelmont::testing::RowName{});

struct TextRow {
    std::string name;
    std::string text;
    std::string family;
    int pixels;
    bool bold;
};

class MainWindowTexts : public MainWindow, public ::testing::WithParamInterface<TextRow> {};

TEST_P(MainWindowTexts, SaysWhatTheDesignSaysInItsFont) {
    const TextRow& row = GetParam();
    auto* label = qobject_cast<QLabel*>(Find(window, row.name));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().toStdString(), row.text);
    EXPECT_EQ(label->font().family().toStdString(), row.family);
    EXPECT_EQ(label->font().pixelSize(), row.pixels);
    EXPECT_EQ(label->font().bold(), row.bold);
}

INSTANTIATE_TEST_SUITE_P(
    Design, MainWindowTexts,
    ::testing::Values(TextRow{"Label14", "Вероятность проигрыша", "Arial", 16, true},
                      TextRow{"HElP", "", "Arial", 15, true},
                      TextRow{"Label15", "Вычислить вероятности", "Arial", 16, false},
                      TextRow{"Label16", "Вычислить всё                ", "Arial", 16, false},
                      TextRow{"Label1", "Вероятность события:", "Arial", 16, false},
                      TextRow{"Label2", "Коэффициент:", "Arial", 16, false},
                      TextRow{"Label3", "Ставка в % от банка:", "Arial", 16, false},
                      TextRow{"Label4", "40% от банка", "Arial", 16, true},
                      TextRow{"Label5", "60% от банка", "Arial", 16, true},
                      TextRow{"Label6", "80% от банка", "Arial", 16, true},
                      TextRow{"Label7", "90% от банка", "Arial", 16, true},
                      TextRow{"Label8", "%", "Arial", 16, false},
                      TextRow{"UrlLabel1", std::string(36, ' '), "Times New Roman", 64, false},
                      TextRow{"UrlLabel2", std::string(36, ' '), "Times New Roman", 64, false}),
    brelmont::testing::RowName{});

TEST_F(MainWindow, HasTheDesignsCaptionSizeAndFrame) {
    EXPECT_EQ(window.windowTitle().toStdString(), "Вычисление по методу Келли");
    EXPECT_EQ(window.size(), QSize(584, 417));
    EXPECT_EQ(window.minimumSize(), QSize(582, 417));
    EXPECT_EQ(window.maximumSize(), QSize(584, 417));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0xFF, 0xFB, 0xF0));
    EXPECT_EQ(ui.Panel1->palette().color(QPalette::Window), QColor(0xDB, 0xDB, 0xDB));
    EXPECT_EQ(ui.Panel17->palette().color(QPalette::Window), QColor(0xF1, 0xF5, 0xEF));
    EXPECT_FALSE(ui.menuz->isVisibleTo(&window));
}

TEST_F(MainWindow, FieldsTabInOrderAndOnlyTheInputsAreWritable) {
    QLineEdit* fields[] = {ui.pole1, ui.pole2, ui.pole3, ui.pole4, ui.pole5, ui.pole6, ui.pole7};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(fields[i]->isReadOnly(), i >= 3) << i;
        EXPECT_EQ(fields[i]->font().pixelSize(), 21) << i;
        EXPECT_EQ(fields[i]->font().bold(), i >= 3) << i;
        if (i < 6) {
            QWidget* next = fields[i]->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus)) {
                next = next->nextInFocusChain();
            }
            EXPECT_EQ(next, fields[i + 1]) << i;
        }
    }
}

TEST_F(MainWindow, NarrowingKeepsTheBandsAcrossTheWindow) {
    window.show();
    window.resize(582, 417);
    EXPECT_EQ(ui.Panel17->width(), 582);
    EXPECT_EQ(ui.Panel1->geometry(), QRect(0, 121, 582, 296));
}

// One row per handler binding: starting from a shown panel and the hint "old", the event leaves the panel
// shown or hidden and the hint as given.
struct HandlerRow {
    std::string name;
    std::function<void(Ui::TMain&)> raise;
    bool panelShown;
    std::string hint;
};

class MainWindowHandlers : public MainWindow, public ::testing::WithParamInterface<HandlerRow> {};

TEST_P(MainWindowHandlers, MoveThePanelAndHintAsBound) {
    window.show();
    window.Btn1Click();
    window.Btn1MouseMove();
    ASSERT_TRUE(ui.menuz->isVisible());
    ASSERT_EQ(ui.HElP->text(), "Запуск");
    GetParam().raise(ui);
    EXPECT_EQ(ui.menuz->isVisible(), GetParam().panelShown);
    EXPECT_EQ(ui.HElP->text().toStdString(), GetParam().hint);
}

HandlerRow ButtonMove(const std::string& name, TImageBtn* Ui::TMain::*button, bool shown,
                      const std::string& hint) {
    return {name,
            [button](Ui::TMain& u) { emit(u.*button)->OnMouseMove(Qt::NoButton, Qt::NoModifier, 1, 1); },
            shown, hint};
}

HandlerRow ButtonLeave(const std::string& name, TImageBtn* Ui::TMain::*button) {
    return {name, [button](Ui::TMain& u) { emit(u.*button)->OnMouseLeave(); }, true, ""};
}

INSTANTIATE_TEST_SUITE_P(
    Table, MainWindowHandlers,
    ::testing::Values(
        ButtonMove("Btn1MouseMoveKeepsThePanel", &Ui::TMain::Btn1, true, "Запуск"),
        ButtonLeave("Btn1MouseLeave", &Ui::TMain::Btn1),
        ButtonMove("ImageBtn2MouseMove", &Ui::TMain::ImageBtn2, false, "Очистить"),
        ButtonLeave("ImageBtn2MouseLeave", &Ui::TMain::ImageBtn2),
        ButtonMove("ImageBtn6MouseMove", &Ui::TMain::ImageBtn6, false, "Справка"),
        ButtonLeave("ImageBtn6MouseLeave", &Ui::TMain::ImageBtn6),
        ButtonMove("ImageBtn3MouseMove", &Ui::TMain::ImageBtn3, false, "На сайт"),
        ButtonLeave("ImageBtn3MouseLeave", &Ui::TMain::ImageBtn3),
        ButtonMove("ImageBtn4MouseMove", &Ui::TMain::ImageBtn4, false, "О программе"),
        ButtonLeave("ImageBtn4MouseLeave", &Ui::TMain::ImageBtn4),
        ButtonMove("ImageBtn5MouseMove", &Ui::TMain::ImageBtn5, false, "Выход"),
        ButtonLeave("ImageBtn5MouseLeave", &Ui::TMain::ImageBtn5),
        HandlerRow{"UrlLabel1MouseMove",
                   [](Ui::TMain& u) { emit u.UrlLabel1->OnMouseMove(Qt::NoButton, Qt::NoModifier, 1, 1); },
                   false, "На сайт"},
        HandlerRow{"UrlLabel2MouseMove",
                   [](Ui::TMain& u) { emit u.UrlLabel2->OnMouseMove(Qt::NoButton, Qt::NoModifier, 1, 1); },
                   false, "На сайт"},
        HandlerRow{"UrlLabel2MouseExit", [](Ui::TMain& u) { emit u.UrlLabel2->OnMouseExit(); }, false, ""},
        HandlerRow{"UrlLabel1ExitChangesNothing", [](Ui::TMain& u) { emit u.UrlLabel1->OnMouseExit(); }, true,
                   "Запуск"},
        HandlerRow{"Label15MouseMove", [](Ui::TMain& u) { SendMove(*u.Label15); }, true,
                   "Вероятность проигрыша"},
        HandlerRow{"Label15MouseLeave", [](Ui::TMain& u) { SendLeave(*u.Label15); }, true, ""},
        HandlerRow{"Label16MouseMove", [](Ui::TMain& u) { SendMove(*u.Label16); }, true, "Все вычисления"},
        HandlerRow{"Label16MouseLeave", [](Ui::TMain& u) { SendLeave(*u.Label16); }, true, ""},
        HandlerRow{"Panel2MouseMove", [](Ui::TMain& u) { SendMove(*u.Panel2); }, false, "Запуск"},
        HandlerRow{"EveryRowPanelHidesThePanel",
                   [](Ui::TMain& u) {
                       for (QFrame* panel :
                            {u.Panel3, u.Panel4, u.Panel5, u.Panel6, u.Panel7, u.Panel8, u.Panel9, u.Panel10,
                             u.Panel11, u.Panel12, u.Panel13, u.Panel14, u.Panel18}) {
                           u.menuz->show();
                           SendMove(*panel);
                           if (u.menuz->isVisible()) {
                               return;
                           }
                       }
                   },
                   false, "Запуск"},
        HandlerRow{"Label14MouseMove", [](Ui::TMain& u) { SendMove(*u.Label14); }, false, "Запуск"},
        HandlerRow{"HElPMouseMove", [](Ui::TMain& u) { SendMove(*u.HElP); }, false, "Запуск"},
        HandlerRow{"FormClick", [](Ui::TMain& u) { SendClick(*u.Panel1); }, false, "Запуск"},
        HandlerRow{"ClickBesideTheEntriesKeepsThePanel",
                   [](Ui::TMain& u) {
                       for (QWidget* strip : {static_cast<QWidget*>(u.Panel15), static_cast<QWidget*>(u.Panel16),
                                              static_cast<QWidget*>(u.menuz)}) {
                           SendClick(*strip);
                       }
                   },
                   true, "Запуск"},
        HandlerRow{"EscapeKey", [](Ui::TMain& u) { QTest::keyClick(u.Panel1->window(), Qt::Key_Escape); },
                   false, "Запуск"},
        HandlerRow{"OtherKeyKeepsThePanel",
                   [](Ui::TMain& u) { QTest::keyClick(u.Panel1->window(), Qt::Key_A); }, true, "Запуск"}),
    brelmont::testing::RowName{});

TEST_F(MainWindow, CommandPanelEntriesLightUpTheirStrip) {
    SendMove(*ui.Label15);
    EXPECT_EQ(ui.Panel15->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    SendLeave(*ui.Label15);
    EXPECT_EQ(ui.Panel15->palette().color(QPalette::Window), QColor(0xF1, 0xF5, 0xEF));
    SendMove(*ui.Label16);
    EXPECT_EQ(ui.Panel16->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    SendLeave(*ui.Label16);
    EXPECT_EQ(ui.Panel16->palette().color(QPalette::Window), QColor(0xF1, 0xF5, 0xEF));
}

TEST_F(MainWindow, EscapeInAFieldHidesThePanelAndOtherKeysStillType) {
    window.show();
    QApplication::setActiveWindow(&window);
    ui.pole1->setFocus();
    window.Btn1Click();
    QTest::keyClick(ui.pole1, Qt::Key_Escape);
    EXPECT_FALSE(ui.menuz->isVisible());
    window.Btn1Click();
    QTest::keyClicks(ui.pole1, "55");
    EXPECT_TRUE(ui.menuz->isVisible());
    EXPECT_EQ(ui.pole1->text(), "55");
}

std::vector<std::string> FieldTexts(Ui::TMain& u) {
    std::vector<std::string> texts;
    for (QLineEdit* field : {u.pole1, u.pole2, u.pole3, u.pole4, u.pole5, u.pole6, u.pole7}) {
        texts.push_back(field->text().toStdString());
    }
    return texts;
}

TEST_F(MainWindow, ComputeAllFillsTheStakeAndTheFourChances) {
    window.show();
    ui.pole1->setText("55");
    ui.pole2->setText("2.0");
    ui.pole3->setText("old");
    window.Btn1Click();
    ModalAnswerer answerer;
    SendClick(*ui.Label16);
    EXPECT_FALSE(ui.menuz->isVisible());
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(FieldTexts(ui),
              (std::vector<std::string>{"55", "2.0", "10", "59,85", "39,82", "19,84", "9,88"}));
}

TEST_F(MainWindow, ComputeProbabilitiesUsesTheTypedStake) {
    window.show();
    ui.pole1->setText("55");
    ui.pole2->setText("2");
    ui.pole3->setText("5");
    ModalAnswerer answerer;
    SendClick(*ui.Label15);
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(FieldTexts(ui), (std::vector<std::string>{"55", "2", "5", "21,3", "6,24", "0,77", "0,09"}));
}

TEST_F(MainWindow, EmptyFieldsAreReportedOneAtATimeInFieldOrder) {
    window.show();
    ModalAnswerer answerer;
    SendClick(*ui.Label16);
    ui.pole1->setText("55");
    SendClick(*ui.Label16);
    ui.pole2->setText("2");
    SendClick(*ui.Label15);
    EXPECT_EQ(answerer.Texts(), (std::vector<std::string>{"Вы не заполнили поле Вероятность события.",
                                                          "Вы не заполнили поле Коэффициент.",
                                                          "Вы не заполнили поле Ставка в % от банка."}));
    for (const auto& seen : answerer.Seen()) {
        EXPECT_EQ(seen.caption, "Brelmont");
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    }
}

TEST_F(MainWindow, AFailedCalculationKeepsWhatItAlreadyWrote) {
    window.show();
    for (QLineEdit* field : {ui.pole4, ui.pole5, ui.pole6, ui.pole7}) {
        field->setText("old");
    }
    ui.pole1->setText("100");
    ui.pole2->setText("2");
    ModalAnswerer answerer;
    SendClick(*ui.Label16);
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"В одно из полей введено не допустимое значение."});
    EXPECT_EQ(FieldTexts(ui), (std::vector<std::string>{"100", "2", "100", "old", "old", "old", "old"}));
}

TEST_F(MainWindow, ClearEmptiesEveryFieldReadOnlyOnesToo) {
    for (QLineEdit* field : {ui.pole1, ui.pole2, ui.pole3, ui.pole4, ui.pole5, ui.pole6, ui.pole7}) {
        field->setText("1");
    }
    emit ui.ImageBtn2->OnClick();
    EXPECT_EQ(FieldTexts(ui), std::vector<std::string>(7, ""));
}

TEST_F(MainWindow, TheDisabledSiteButtonLetsTheSiteLinkTakeThePointer) {
    window.show();
    RecordingOpener opener;
    SetUrlOpener(&opener);
    const QPoint overButton = ui.ImageBtn3->geometry().center();
    EXPECT_FALSE(ui.ImageBtn3->isEnabled());
    EXPECT_EQ(ui.Panel17->childAt(overButton), ui.UrlLabel2);
    EXPECT_EQ(ui.UrlLabel2->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(ui.UrlLabel2, Qt::LeftButton, {}, ui.UrlLabel2->mapFrom(ui.Panel17, overButton));
    SetUrlOpener(nullptr);
    EXPECT_EQ(opener.opened, std::vector<std::string>{"https://brelmont.example/"});
}

TEST(MainWindowLife, CreationUnpacksTheHelpAndCloseRemovesItOnce) {
    HelpCalls calls;
    int closed = 0;
    {
        TMain window(calls.Hooks());
        QObject::connect(&window, &TMain::Closed, [&] { ++closed; });
        EXPECT_EQ(calls.unpacks, 1);
        window.show();
        emit window.Controls().ImageBtn5->OnClick();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(calls.removals, 1);
    EXPECT_EQ(closed, 1);
}

TEST(MainWindowLife, AnUnpackingFailureIsShownAndTheWindowStillOpens) {
    ModalAnswerer answerer;
    HelpHooks hooks{[] { throw EInOutError("File not found", 2); }, [] {}, [] {}};
    TMain window(hooks);
    window.show();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, "File not found.");
    EXPECT_EQ(answerer.Seen()[0].icon, QMessageBox::Critical);
}

TEST(MainWindowLife, TheHelpButtonAsksForHelp) {
    HelpCalls calls;
    TMain window(calls.Hooks());
    emit window.Controls().ImageBtn6->OnClick();
    EXPECT_EQ(calls.shows, 1);
}

} // namespace
} // namespace brelmont
