// SPDX-License-Identifier: MIT
// What a screen reader is told about each control a user meets, read through Qt's accessibility interfaces
// (the AT-SPI test in app/tests reads the same over the accessibility bus of a real desktop).
#include "base/testing/RowName.h"
#include "ui/Mainf.h"
#include "ui/aboutf.h"
#include "ui/widgets/Accessible.h"
#include "ui_Mainf.h"
#include "ui_aboutf.h"

#include <QAccessible>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <set>

namespace brelmont {
namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

struct NameRow {
    std::string name; // design name of the control
    QAccessible::Role role;
    std::string accessibleName;
};

// Qt keeps the first interface made for a control, so the program's own must be known before any window
// exists; the program installs them at start-up for the same reason.
struct AccessibleControlsInstalled {
    AccessibleControlsInstalled() { InstallAccessibleControls(); }
};

class MainWindowReadOut : private AccessibleControlsInstalled, public ::testing::TestWithParam<NameRow> {
protected:
    MainWindowReadOut() : window(HelpHooks{[] {}, [] {}, [] {}}) { window.SetAbout(&about); }
    TAbout about;
    TMain window;
};

QAccessibleInterface* Interface(QWidget& root, const std::string& name) {
    auto* widget = root.findChild<QWidget*>(QString::fromStdString(name));
    return widget != nullptr ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

TEST_P(MainWindowReadOut, NamesEveryControlInRussianWithItsRole) {
    const NameRow& row = GetParam();
    QWidget* root = row.name.rfind("About_", 0) == 0 ? static_cast<QWidget*>(&about) : &window;
    const std::string name = row.name.rfind("About_", 0) == 0 ? row.name.substr(6) : row.name;
    QAccessibleInterface* control = Interface(*root, name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->role(), row.role);
    EXPECT_EQ(control->text(QAccessible::Name).toStdString(), row.accessibleName);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, MainWindowReadOut,
    ::testing::Values(NameRow{"Btn1", QAccessible::Button, "Запуск"},
                      NameRow{"ImageBtn2", QAccessible::Button, "Очистить"},
                      NameRow{"ImageBtn6", QAccessible::Button, "Справка"},
                      NameRow{"ImageBtn3", QAccessible::Button, "На сайт"},
                      NameRow{"ImageBtn4", QAccessible::Button, "О программе"},
                      NameRow{"ImageBtn5", QAccessible::Button, "Выход"},
                      NameRow{"UrlLabel1", QAccessible::Link, "На сайт"},
                      NameRow{"UrlLabel2", QAccessible::Link, "На сайт"},
                      NameRow{"pole1", QAccessible::EditableText, "Вероятность события, %"},
                      NameRow{"pole2", QAccessible::EditableText, "Коэффициент"},
                      NameRow{"pole3", QAccessible::EditableText, "Ставка в % от банка"},
                      NameRow{"pole4", QAccessible::EditableText,
                              "Вероятность проигрыша 40% от банка (банк упадёт до 60%), %"},
                      NameRow{"pole5", QAccessible::EditableText,
                              "Вероятность проигрыша 60% от банка (банк упадёт до 40%), %"},
                      NameRow{"pole6", QAccessible::EditableText,
                              "Вероятность проигрыша 80% от банка (банк упадёт до 20%), %"},
                      NameRow{"pole7", QAccessible::EditableText,
                              "Вероятность проигрыша 90% от банка (банк упадёт до 10%), %"},
                      NameRow{"Label15", QAccessible::MenuItem, "Вычислить вероятности"},
                      NameRow{"Label16", QAccessible::MenuItem, "Вычислить всё"},
                      NameRow{"About_UrlLabel1", QAccessible::Link, "Написать письмо: help@brelmont.example"},
                      NameRow{"About_UrlLabel2", QAccessible::Link, "Сайт программы: brelmont.example"},
                      NameRow{"About_UrlLabel3", QAccessible::Link, "Сайт Lindqor: lindqor.example"},
                      NameRow{"About_Button1", QAccessible::Button, "OK, закрыть окно"}),
    brelmont::testing::RowName{});

TEST(ReadOut, ResultFieldsAnnounceTheirValueAndPicturesSayNothing) {
    InstallAccessibleControls();
    TMain window(HelpHooks{[] {}, [] {}, [] {}});
    window.Controls().pole5->setText("39,82");
    QAccessibleInterface* result = QAccessible::queryAccessibleInterface(window.Controls().pole5);
    ASSERT_NE(result->textInterface(), nullptr);
    EXPECT_EQ(result->textInterface()->text(0, result->textInterface()->characterCount()), "39,82");
    EXPECT_TRUE(result->state().readOnly);
    EXPECT_FALSE(result->state().editable);
    QAccessibleInterface* input = QAccessible::queryAccessibleInterface(window.Controls().pole1);
    EXPECT_TRUE(input->state().editable);
    EXPECT_FALSE(input->state().readOnly);
    for (QWidget* picture :
         {static_cast<QWidget*>(window.Controls().Image1), static_cast<QWidget*>(window.Controls().Image2)}) {
        QAccessibleInterface* decoration = QAccessible::queryAccessibleInterface(picture);
        EXPECT_TRUE(decoration->state().invisible);
        EXPECT_TRUE(decoration->text(QAccessible::Name).isEmpty());
    }
    EXPECT_EQ(NameFromToolTip("Справка (Shift+F1)"), "Справка");
}

TEST(ReadOut, WindowsAreNamedFramesAndPanelsArePanels) {
    InstallAccessibleControls();
    TMain window(HelpHooks{[] {}, [] {}, [] {}});
    TAbout about;
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), "Вычисление по методу Келли");
    QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(&about);
    EXPECT_EQ(dialog->role(), QAccessible::Dialog);
    EXPECT_EQ(dialog->text(QAccessible::Name), "О программе");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.Controls().Panel17)->role(),
              QAccessible::Grouping);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.Controls().Panel2)->role(), QAccessible::Grouping);
    EXPECT_EQ(Interface(about, "Panel1")->role(), QAccessible::Separator);
}

// Every interface below `root`, as a reader walks them, with a check that each child knows its place.
void Walk(QAccessibleInterface* root, std::vector<QAccessibleInterface*>& out) {
    out.push_back(root);
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(root->indexOfChild(child), i);
        Walk(child, out);
    }
}

TEST(ReadOut, AReaderWalkingTheWindowsMeetsNoPicture) {
    InstallAccessibleControls();
    TMain window(HelpHooks{[] {}, [] {}, [] {}});
    TAbout about;
    for (QWidget* root : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&about)}) {
        std::vector<QAccessibleInterface*> met;
        Walk(QAccessible::queryAccessibleInterface(root), met);
        std::set<QObject*> objects;
        for (QAccessibleInterface* node : met) {
            objects.insert(node->object());
            EXPECT_NE(node->role(), QAccessible::Graphic) << node->object()->objectName().toStdString();
        }
        // Everything else is still there: the toolbar's buttons and link, the About box's links and OK.
        for (const char* name : {"Btn1", "ImageBtn5", "UrlLabel2", "pole7", "Label16", "Memo1", "Button1"}) {
            if (QObject* control = root->findChild<QObject*>(name)) {
                EXPECT_TRUE(objects.count(control)) << name;
            }
        }
    }
}

TEST(ReadOut, AResultCanBeReadSelectedAndPointedAtCharacterByCharacter) {
    InstallAccessibleControls();
    TMain window(HelpHooks{[] {}, [] {}, [] {}});
    window.show();
    QLineEdit* field = window.Controls().pole5;
    field->setText("39,82");
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(field)->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 5);
    EXPECT_EQ(text->text(1, 4), "9,8");
    EXPECT_EQ(text->selectionCount(), 0);
    text->setSelection(0, 3, 5);
    EXPECT_EQ(field->selectedText(), "82");
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(3, 5));
    text->removeSelection(0);
    EXPECT_FALSE(field->hasSelectedText());
    int left = -1;
    for (int offset = 0; offset < 5; ++offset) {
        const QRect character = text->characterRect(offset);
        ASSERT_FALSE(character.isEmpty()) << offset;
        EXPECT_GT(character.left(), left) << offset; // left to right, on the screen
        left = character.left();
        EXPECT_EQ(text->offsetAtPoint(character.center()), offset);
    }
    EXPECT_TRUE(text->characterRect(5).isEmpty());
    EXPECT_EQ(text->offsetAtPoint(field->mapToGlobal(QPoint(-5, -5))), -1);
}

TEST(ReadOut, AButtonsPressActionClicksItAsThePointerDoes) {
    InstallAccessibleControls();
    int shows = 0;
    TMain window(HelpHooks{[] {}, [] {}, [&shows] { ++shows; }});
    window.show();
    QApplication::setActiveWindow(&window);
    QAccessibleInterface* help = QAccessible::queryAccessibleInterface(window.Controls().ImageBtn6);
    ASSERT_TRUE(help->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    help->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(shows, 1);
    QAccessibleInterface* site = QAccessible::queryAccessibleInterface(window.Controls().ImageBtn3);
    EXPECT_TRUE(site->actionInterface()->actionNames().isEmpty()); // disabled: its link is the way
}

} // namespace
} // namespace brelmont
