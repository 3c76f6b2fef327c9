// SPDX-License-Identifier: MIT
// Outcomes the user must not miss: the advice after a calculation of a bet with no value, and the message
// with a copyable address, written as a person writes it, when no program on the desktop takes a link,
// whether the launcher is missing, fails to start or gives up at once.
#include "ModalAnswerer.h"
#include "base/testing/RowName.h"
#include "ui/LinkOpener.h"
#include "ui/Mainf.h"
#include "ui/aboutf.h"
#include "ui/widgets/UrlLabel.h"
#include "ui_Mainf.h"
#include "ui_aboutf.h"

#include <QLineEdit>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::ModalAnswerer;

HelpHooks NoHelp() {
    return {[] {}, [] {}, [] {}};
}

const std::string kLossAt40And2Start =
    "Ставка невыгодна: при вероятности 40 % и коэффициенте 2 она в среднем "
    "возвращает 0,8 от поставленной суммы";

TEST(NoValueAdviceOnScreen, FollowsTheChancesOfBothCalculations) {
    TMain window(NoHelp());
    Ui::TMain& ui = window.Controls();
    window.show();
    ui.pole1->setText("40");
    ui.pole2->setText("2");
    ui.pole3->setText("5");
    {
        ModalAnswerer answerer;
        window.Label15Click();
        ASSERT_EQ(answerer.Texts().size(), 1u);
        EXPECT_EQ(answerer.Texts()[0].rfind(kLossAt40And2Start, 0), 0u) << answerer.Texts()[0];
        EXPECT_EQ(answerer.Seen()[0].caption, "Brelmont");
        EXPECT_EQ(ui.pole7->text(), "100"); // the chances were written before the advice came
    }
    {
        ModalAnswerer answerer;
        window.Label16Click();
        ASSERT_EQ(answerer.Texts().size(), 1u);
        EXPECT_EQ(answerer.Texts()[0].rfind(kLossAt40And2Start, 0), 0u);
        EXPECT_EQ(ui.pole3->text(), "-20");
    }
    ui.pole1->setText("55");
    ModalAnswerer answerer;
    window.Label16Click();
    EXPECT_TRUE(answerer.Texts().empty());
}

// At exactly no edge the Kelly stake is 0, whose chances cannot be computed: one box gives the reason instead
// of an invalid-value message followed by the advice.
TEST(NoValueAdviceOnScreen, ExactlyNoEdgeIsOneBoxWithTheAdvice) {
    TMain window(NoHelp());
    Ui::TMain& ui = window.Controls();
    window.show();
    ui.pole1->setText("50");
    ui.pole2->setText("2");
    ui.pole4->setText("old");
    ModalAnswerer answerer;
    window.Label16Click();
    ASSERT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(
        answerer.Texts()[0].rfind("Ставка не даёт преимущества: при вероятности 50 % и коэффициенте 2", 0),
        0u)
        << answerer.Texts()[0];
    EXPECT_EQ(ui.pole3->text(), "0");
    EXPECT_EQ(ui.pole4->text(), "old");
}

TEST(NoValueAdviceOnScreen, ANegativeStakeIsRefusedLikeAZeroStake) {
    TMain window(NoHelp());
    Ui::TMain& ui = window.Controls();
    window.show();
    ui.pole1->setText("55");
    ui.pole2->setText("2");
    ui.pole3->setText("-5");
    ui.pole4->setText("old");
    ModalAnswerer answerer;
    window.Label15Click();
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"В одно из полей введено не допустимое значение."});
    EXPECT_EQ(ui.pole4->text(), "old");
}

// The failures an opener reports, in order.
struct Failures {
    std::vector<QString> addresses;
    DesktopLinkOpener::FailureHandler Handler() {
        return [this](const QString& address) { addresses.push_back(address); };
    }
};

TEST(LinkWithNoHandler, ALauncherThatGivesUpIsReportedWithTheAddress) {
    Failures failures;
    DesktopLinkOpener opener(failures.Handler(), QStringLiteral("/bin/sh"), {QStringLiteral("-c"), "exit 3"});
    EXPECT_TRUE(opener.Open(QStringLiteral("https://brelmont.example/")));
    QTRY_COMPARE_WITH_TIMEOUT(failures.addresses.size(), std::size_t{1}, 20000);
    EXPECT_EQ(failures.addresses[0], "https://brelmont.example/");
}

TEST(LinkWithNoHandler, AMissingLauncherIsReportedToo) {
    Failures failures;
    DesktopLinkOpener opener(failures.Handler(), QStringLiteral("/nonexistent/xdg-open"));
    EXPECT_FALSE(opener.Open(QStringLiteral("mailto:help@brelmont.example")));
    QTRY_COMPARE_WITH_TIMEOUT(failures.addresses.size(), std::size_t{1}, 20000);
    EXPECT_EQ(failures.addresses[0], "mailto:help@brelmont.example");
}

TEST(LinkWithNoHandler, ALauncherThatTakesTheAddressIsSilent) {
    Failures failures;
    DesktopLinkOpener opener(failures.Handler(), QStringLiteral("/bin/sh"), {QStringLiteral("-c"), "exit 0"});
    EXPECT_TRUE(opener.Open(QStringLiteral("https://brelmont.example/")));
    // Another launcher that fails afterwards proves the first one's end has been seen and was no failure.
    DesktopLinkOpener failing(failures.Handler(), QStringLiteral("/bin/sh"),
                              {QStringLiteral("-c"), "exit 4"});
    failing.Open(QStringLiteral("https://second.example/"));
    QTRY_COMPARE_WITH_TIMEOUT(failures.addresses.size(), std::size_t{1}, 20000);
    QTest::qWait(50);
    EXPECT_EQ(failures.addresses, std::vector<QString>{"https://second.example/"});
}

TEST(LinkWithNoHandler, TheBannerShowsAMessageWhoseAddressCanBeCopied) {
    DesktopLinkOpener opener(ShowLinkFailure, QStringLiteral("/nonexistent/xdg-open"));
    SetUrlOpener(&opener);
    TMain window(NoHelp());
    window.show();
    std::string selected;
    ModalAnswerer answerer([&selected](QWidget& dialog) {
        if (auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("Address"))) {
            selected = address->selectedText().toStdString();
            EXPECT_TRUE(address->isReadOnly());
        }
        ModalAnswerer::PressEnter(dialog);
    });
    QTest::mouseClick(window.Controls().UrlLabel1, Qt::LeftButton, {}, QPoint(100, 30));
    QTRY_COMPARE_WITH_TIMEOUT(answerer.Seen().size(), std::size_t{1}, 20000);
    SetUrlOpener(nullptr);
    EXPECT_EQ(answerer.Seen()[0].objectName, "LinkFailure");
    EXPECT_EQ(answerer.Seen()[0].caption, "Brelmont");
    EXPECT_EQ(answerer.Seen()[0].text, LinkFailureText().toStdString());
    EXPECT_EQ(selected, "https://brelmont.example/");
}

TEST(LinkWithNoHandler, TheMailLinkShowsTheAddressAsItIsWritten) {
    DesktopLinkOpener opener(ShowLinkFailure, QStringLiteral("/nonexistent/xdg-open"));
    SetUrlOpener(&opener);
    TAbout about;
    about.show();
    std::string shown;
    ModalAnswerer answerer([&shown](QWidget& dialog) {
        if (auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("Address"))) {
            shown = address->selectedText().toStdString();
        }
        ModalAnswerer::PressEnter(dialog);
    });
    QTest::mouseClick(about.Controls().UrlLabel1, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answerer.Seen().size(), std::size_t{1}, 20000);
    SetUrlOpener(nullptr);
    EXPECT_EQ(shown, "help@brelmont.example");
}

struct AddressRow {
    std::string name;
    QString link;
    QString written;
};

class AddressAsAPersonWritesIt : public ::testing::TestWithParam<AddressRow> {};

TEST_P(AddressAsAPersonWritesIt, LeavesOutOnlyWhatAMailProgramReads) {
    EXPECT_EQ(AddressAsWritten(GetParam().link), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Links, AddressAsAPersonWritesIt,
    ::testing::Values(
        AddressRow{"Mail", "mailto:help@brelmont.example", "help@brelmont.example"},
        AddressRow{"SchemeInCapitals", "MAILTO:Help@Brelmont.example", "Help@Brelmont.example"},
        AddressRow{"WithASubject", "mailto:help@brelmont.example?subject=Brelmont", "help@brelmont.example"},
        AddressRow{"Escaped", "mailto:%D0%BF%D0%BE%D0%BC%D0%BE%D1%89%D1%8C@brelmont.example",
                   "помощь@brelmont.example"},
        AddressRow{"WebUnchanged", "https://brelmont.example/?a=b", "https://brelmont.example/?a=b"},
        AddressRow{"MailtoInsideAWebAddress", "https://x.example/mailto:y", "https://x.example/mailto:y"}),
    brelmont::testing::RowName{});

} // namespace
} // namespace brelmont
