// SPDX-License-Identifier: MIT
// The program-wide dialog rules: title and error-text rules, the message dialog's looks and keys, the error
// box, what a failed handler shows, and the modal rule for a window that is already visible.
#include "ui/Dialogs.h"

#include "ModalAnswerer.h"
#include "base/Exception.h"
#include "base/testing/RowName.h"

#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::ModalAnswerer;

struct TextRow {
    std::string name;
    std::string input;
    std::string expected;
};

class TitleRule : public ::testing::TestWithParam<TextRow> {};

TEST_P(TitleRule, FollowsTheExecutableName) {
    EXPECT_EQ(ApplicationTitleFor(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, TitleRule,
                         ::testing::Values(TextRow{"InstalledProgram", "/usr/bin/Brelmont", "Brelmont"},
                                           TextRow{"UpperCaseName", "/opt/BRELMONT", "Brelmont"},
                                           TextRow{"CutAtFirstDot", "/a.b/brel.mont.bin", "brel"},
                                           TextRow{"DotInFolderOnly", "/a.b/Calc", "Calc"},
                                           TextRow{"NoFolder", "KELLY", "Kelly"},
                                           TextRow{"LeadingDot", "/x/.hidden", ""}),
                         brelmont::testing::RowName{});

class ErrorText : public ::testing::TestWithParam<TextRow> {};

TEST_P(ErrorText, GetsAFullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(ErrorBoxText(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Messages, ErrorText,
                         ::testing::Values(TextRow{"Letter", "File not found", "File not found."},
                                           TextRow{"Digit", "I/O error 13", "I/O error 13."},
                                           TextRow{"Slash", "a/", "a/."},
                                           TextRow{"FullStop", "Done.", "Done."},
                                           TextRow{"Hyphen", "x-", "x-"}, TextRow{"Comma", "x,", "x,"},
                                           TextRow{"Space", "x ", "x "}, TextRow{"Empty", "", ""},
                                           TextRow{"Cyrillic", "Ошибка", "Ошибка."}),
                         brelmont::testing::RowName{});

TEST(MessageDialog, IsCaptionedWithTheTitleAndAnswersEnter) {
    ModalAnswerer answerer;
    ShowMessage("Вы не заполнили поле Коэффициент.");
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].caption, "Brelmont");
    EXPECT_EQ(answerer.Seen()[0].text, "Вы не заполнили поле Коэффициент.");
    EXPECT_EQ(answerer.Seen()[0].modality, Qt::ApplicationModal);
}

TEST(MessageDialog, EscapeClosesItToo) {
    ModalAnswerer answerer(ModalAnswerer::PressEscape);
    ShowMessage("x");
    EXPECT_EQ(answerer.Seen().size(), 1u);
}

TEST(MessageDialog, HasOneOkButtonAndWrapsAtHalfTheScreen) {
    int buttons = 0;
    QString buttonText;
    int width = 0;
    int screenWidth = 0;
    QPoint centreOffset;
    ModalAnswerer answerer([&](QWidget& dialog) {
        const auto found = dialog.findChildren<QPushButton*>();
        buttons = static_cast<int>(found.size());
        buttonText = found.isEmpty() ? QString() : found[0]->text();
        width = dialog.width();
        const QRect screen = dialog.screen()->availableGeometry();
        screenWidth = screen.width();
        centreOffset = dialog.geometry().center() - screen.center();
        ModalAnswerer::PressEnter(dialog);
    });
    ShowMessage(std::string(400, 'w') + " " + std::string(400, 'w'));
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(buttonText, "OK");
    EXPECT_LE(width, screenWidth / 2 + 40);
    EXPECT_LE(std::abs(centreOffset.x()), 1);
    EXPECT_LE(std::abs(centreOffset.y()), 1);
}

TEST(ErrorBox, ShowsTheTitleStopIconAndTheRuleText) {
    ModalAnswerer answerer;
    ShowErrorBox("I/O error 13");
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].caption, "Brelmont");
    EXPECT_EQ(answerer.Seen()[0].text, "I/O error 13.");
    EXPECT_EQ(answerer.Seen()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(answerer.Seen()[0].modality, Qt::ApplicationModal);
}

TEST(HandlerErrors, ReachTheErrorBoxAndTheProgramGoesOn) {
    ModalAnswerer answerer;
    int after = 0;
    Guarded([] { throw EConvertError("'x' is not a valid integer value"); });
    Guarded([] { throw std::runtime_error("plain"); });
    Guarded([&] { ++after; });
    EXPECT_EQ(answerer.Texts(), (std::vector<std::string>{"'x' is not a valid integer value.", "plain."}));
    EXPECT_EQ(after, 1);
}

TEST(HandlerErrors, AbortShowsNothing) {
    ModalAnswerer answerer;
    Guarded([] { throw EAbort(); });
    QApplication::processEvents();
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST(ModalRule, AVisibleWindowCannotBeMadeModal) {
    QDialog dialog;
    dialog.show();
    try {
        ShowModal(dialog);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot make a visible window modal");
    }
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ModalRule, AHiddenWindowRunsModallyAndReturnsItsResult) {
    QDialog dialog;
    ModalAnswerer answerer([](QWidget& modal) { static_cast<QDialog&>(modal).done(mrCancel); });
    EXPECT_EQ(ShowModal(dialog), mrCancel);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].modality, Qt::ApplicationModal);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace brelmont
