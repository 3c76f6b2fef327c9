// SPDX-License-Identifier: MIT
// The toolkit's own words and keys as the program sets them up at start (the test main does the same): a
// field's context menu opens with Shift+F10 as with the Menu key, and it and the file dialog read Russian in
// whatever locale the tests run.
#include "ContextMenuReader.h"
#include "base/testing/RowName.h"
#include "ui/Dialogs.h"
#include "ui/ToolkitTranslation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::ContextMenuEntries;
using testing::HasLatinLetter;

struct MenuKeyRow {
    std::string name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool opens;
};

class ContextMenuKeys : public ::testing::TestWithParam<MenuKeyRow> {
protected:
    ContextMenuKeys() : field(new QLineEdit(QStringLiteral("55"), &window)) {
        new QVBoxLayout(&window);
        window.layout()->addWidget(field);
        window.show();
        QApplication::setActiveWindow(&window);
        field->setFocus();
    }
    QWidget window;
    QLineEdit* field;
};

TEST_P(ContextMenuKeys, OpenTheFieldsRussianMenuOnlyForShiftF10) {
    const MenuKeyRow& row = GetParam();
    const QStringList entries = ContextMenuEntries([&] { QTest::keyClick(field, row.key, row.modifiers); });
    if (!row.opens) {
        EXPECT_TRUE(entries.isEmpty()) << entries.join(QLatin1Char('|')).toStdString();
        return;
    }
    for (const char* entry : {"Отменить действие", "Копировать", "Вставить", "Выделить всё"}) {
        EXPECT_TRUE(entries.contains(QString::fromUtf8(entry))) << entry;
    }
    for (const QString& entry : entries) {
        EXPECT_FALSE(HasLatinLetter(entry)) << entry.toStdString();
    }
    EXPECT_EQ(field->text(), "55");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ContextMenuKeys,
    ::testing::Values(MenuKeyRow{"ShiftF10", Qt::Key_F10, Qt::ShiftModifier, true},
                      MenuKeyRow{"PlainF10IsLeftToTheWindow", Qt::Key_F10, Qt::NoModifier, false},
                      MenuKeyRow{"CtrlShiftF10", Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier, false},
                      MenuKeyRow{"ShiftF9", Qt::Key_F9, Qt::ShiftModifier, false}),
    brelmont::testing::RowName{});

TEST(ToolkitWords, TheFileDialogHasNoEnglishWord) {
    QFileDialog dialog(nullptr, QStringLiteral("Сохранить график"), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setViewMode(QFileDialog::Detail);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        texts << button->text() << button->toolTip();
    }
    for (const QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
        for (int column = 0; view->model() != nullptr && column < view->model()->columnCount(); ++column) {
            texts << view->model()->headerData(column, Qt::Horizontal).toString();
        }
    }
    texts.removeAll(QString());
    EXPECT_GE(texts.size(), 8);
    for (const QString& text : texts) {
        EXPECT_FALSE(HasLatinLetter(text)) << text.toStdString();
    }
}

TEST(ToolkitWords, TheCatalogueIsFoundAndInstalledOnce) {
    // The test main has installed it already, as the program does; a second call changes nothing.
    EXPECT_TRUE(InstallToolkitTranslation());
    EXPECT_EQ(qApp->findChildren<QTranslator*>().size(), 1);
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "Select All"), "Выделить всё");
}

} // namespace
} // namespace brelmont
