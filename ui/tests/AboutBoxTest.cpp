// SPDX-License-Identifier: MIT
// The About box: its controls against the design, the three links, the licence, and the closing rules when
// the main window shows it modally (OK and the close box end it with the cancel result; Escape does not).
#include "ModalAnswerer.h"
#include "base/testing/RowName.h"
#include "ui/Dialogs.h"
#include "ui/Mainf.h"
#include "ui/aboutf.h"
#include "ui/widgets/UrlLabel.h"
#include "ui_Mainf.h"
#include "ui_aboutf.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::ModalAnswerer;

struct AboutRow {
    std::string name;
    int x, y, width, height; // width -1: sized to its caption
    std::string text;        // "*" for the configured addresses
};

class AboutPlaces : public ::testing::TestWithParam<AboutRow> {};

TEST_P(AboutPlaces, StandAndReadAsDesigned) {
    TAbout about;
    const AboutRow& row = GetParam();
    QWidget* control = about.findChild<QWidget*>(QString::fromStdString(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->pos(), QPoint(row.x, row.y));
    if (row.width >= 0) {
        EXPECT_EQ(control->size(), QSize(row.width, row.height));
    }
    if (auto* label = qobject_cast<QLabel*>(control); label != nullptr && row.text != "*") {
        EXPECT_EQ(label->text().toStdString(), row.text);
        EXPECT_EQ(label->font().family(), "Arial");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Design, AboutPlaces,
    ::testing::Values(AboutRow{"Image1", 0, 0, 428, 73, ""}, AboutRow{"Image2", 16, 96, 49, 49, ""},
                      AboutRow{"LabelFill1", 184, 80, -1, -1, "Brelmont"},
                      AboutRow{"LabelFill3", 112, 120, -1, -1, "Ваши предложения и пожелания"},
                      AboutRow{"LabelFill5", 136, 136, -1, -1, "отправляйте по адресу "},
                      AboutRow{"UrlLabel1", 152, 152, -1, -1, "*"},
                      AboutRow{"LabelFill4", 27, 176, -1, -1, "Последняя версия программы всегда на сайте "},
                      AboutRow{"UrlLabel2", 140, 192, -1, -1, "*"},
                      AboutRow{"LabelFill6", 19, 216, -1, -1,
                               "Программа разрабатывалась при участии Lindqor"},
                      AboutRow{"UrlLabel3", 132, 232, -1, -1, "*"}, AboutRow{"Panel1", 24, 264, 377, 3, ""},
                      AboutRow{"Memo1", 18, 280, 391, 105, ""}, AboutRow{"Button1", 336, 392, 75, 25, ""}),
    brelmont::testing::RowName{});

TEST(AboutBox, IsAFixedGreyDialog) {
    TAbout about;
    EXPECT_EQ(about.windowTitle().toStdString(), "О программе");
    EXPECT_EQ(about.size(), QSize(428, 425));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(0xDB, 0xDB, 0xDB));
    EXPECT_TRUE(about.Controls().LabelFill1->font().bold());
    EXPECT_EQ(about.Controls().LabelFill1->font().pixelSize(), 16);
    EXPECT_EQ(about.Controls().Button1->text(), "OK");
}

TEST(AboutBox, LinksPointAtTheConfiguredAddresses) {
    TAbout about;
    Ui::TAbout& ui = about.Controls();
    EXPECT_EQ(ui.UrlLabel1->text(), "help@brelmont.example");
    EXPECT_EQ(ui.UrlLabel1->URL(), "mailto:help@brelmont.example");
    EXPECT_EQ(ui.UrlLabel1->URLType(), TUrlLabel::urlMailTo);
    EXPECT_EQ(TUrlLabel::AddressToOpen(ui.UrlLabel2->URL(), ui.UrlLabel2->URLType()),
              "https://brelmont.example/");
    EXPECT_EQ(ui.UrlLabel2->text(), "brelmont.example");
    EXPECT_EQ(TUrlLabel::AddressToOpen(ui.UrlLabel3->URL(), ui.UrlLabel3->URLType()),
              "https://lindqor.example/");
    for (TUrlLabel* link : {ui.UrlLabel1, ui.UrlLabel2, ui.UrlLabel3}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_TRUE(link->Transparent());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
}

TEST(AboutBox, CarriesTheRepositoryLicenceInRussianOn35Lines) {
    TAbout about;
    const QPlainTextEdit* memo = about.Controls().Memo1;
    const QStringList lines = memo->toPlainText().split('\n');
    EXPECT_EQ(lines.size(), 35);
    EXPECT_EQ(lines[0], "Лицензия MIT");
    EXPECT_TRUE(memo->toPlainText().contains("Copyright (c) 2026"));
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

class AboutShown : public ::testing::Test {
protected:
    AboutShown() : window(HelpHooks{}) { window.SetAbout(&about); }
    TMain window;
    TAbout about;
};

TEST_F(AboutShown, OkEndsTheModalShowingWithCancel) {
    window.show();
    bool wasModal = false;
    ModalAnswerer answerer([&](QWidget& modal) {
        wasModal = &modal == &about;
        QTest::mouseClick(about.Controls().Button1, Qt::LeftButton);
    });
    emit window.Controls().ImageBtn4->OnClick();
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), mrCancel);
}

TEST_F(AboutShown, TheCloseBoxActsAsOkAndEscapeDoesNothing) {
    bool stayedAfterEscape = false;
    ModalAnswerer answerer([&](QWidget& modal) {
        QTest::keyClick(&modal, Qt::Key_Escape);
        stayedAfterEscape = modal.isVisible();
        modal.close();
    });
    EXPECT_EQ(ShowModal(about), mrCancel);
    EXPECT_TRUE(stayedAfterEscape);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutShown, CanBeShownAgainAndKeepsTypedText) {
    ModalAnswerer answerer([&](QWidget& modal) {
        static_cast<TAbout&>(modal).Controls().Memo1->appendPlainText("typed");
        modal.close();
    });
    ShowModal(about);
    ShowModal(about);
    EXPECT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(about.Controls().Memo1->toPlainText().count("typed"), 2);
}

// The keys a person without a mouse presses, each sent to whatever has the focus at that moment.
void PressAtFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
}

TEST_F(AboutShown, EveryShowingStartsOnOkSoEnterClosesIt) {
    std::vector<QWidget*> focused;
    ModalAnswerer answerer([&](QWidget& modal) {
        QApplication::setActiveWindow(&modal); // as the window manager does
        focused.push_back(QApplication::focusWidget());
        // Leave the focus in the licence text, where the next showing must not start.
        about.Controls().Memo1->setFocus();
        if (focused.size() == 1) {
            modal.close();
        } else {
            about.Controls().Button1->setFocus();
            PressAtFocus(Qt::Key_Return);
        }
    });
    window.show();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(window.Controls().pole1, Qt::Key_I, Qt::ControlModifier);
    QApplication::setActiveWindow(&window);
    QTest::keyClick(window.Controls().pole1, Qt::Key_I, Qt::ControlModifier);
    ASSERT_EQ(focused.size(), 2u);
    EXPECT_EQ(focused[0], about.Controls().Button1);
    EXPECT_EQ(focused[1], about.Controls().Button1);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutShown, TabLeavesTheEditableLicenceAndEnterOnOkCloses) {
    QString typed;
    QWidget* afterTab = nullptr;
    QWidget* afterBacktab = nullptr;
    ModalAnswerer answerer([&](QWidget& modal) {
        QApplication::setActiveWindow(&modal);
        PressAtFocus(Qt::Key_Backtab, Qt::ShiftModifier);
        afterBacktab = QApplication::focusWidget();
        QTest::keyClicks(QApplication::focusWidget(), "x"); // still editable
        PressAtFocus(Qt::Key_Tab);
        afterTab = QApplication::focusWidget();
        typed = about.Controls().Memo1->toPlainText();
        PressAtFocus(Qt::Key_Return);
    });
    const QString licence = about.Controls().Memo1->toPlainText();
    EXPECT_EQ(ShowModal(about), mrCancel);
    EXPECT_EQ(afterBacktab, about.Controls().Memo1);
    EXPECT_EQ(afterTab, about.Controls().Button1);
    EXPECT_EQ(typed.size(), licence.size() + 1); // the "x", and no tab character
    EXPECT_FALSE(typed.contains('\t'));
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutShown, ShowingItWhileVisibleGoesToTheErrorBox) {
    about.show();
    ModalAnswerer answerer;
    window.ImageBtn4Click();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, "Cannot make a visible window modal.");
}

} // namespace
} // namespace brelmont
