// SPDX-License-Identifier: MIT
#include "helpviewer/ViewerWindow.h"

#include "SampleHelp.h"
#include "base/testing/RowName.h"
#include "helpdelivery/display/HelpSystem.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using namespace brelmont;
using ::brelmont::testing::PrintTo;
using viewer::ViewerWindow;

QApplication& App() {
    static int argc = 1;
    static char name[] = "viewer_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the widgets' statics go first at exit.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

class Viewer : public ::testing::Test {
protected:
    Viewer() { WriteSampleHelp(dir.path()); }

    helpprotocol::Request Command(const std::string& text, const QString& file = QStringLiteral("help.hlp")) {
        helpprotocol::Request request;
        request.command = HELP_COMMAND;
        request.file = file;
        request.folder = dir.path();
        request.text = QByteArray::fromStdString(text);
        return request;
    }
    QJsonObject State() { return QJsonDocument::fromJson(window.StateJson()).object(); }
    QString Page() { return State()[QStringLiteral("page")].toString(); }
    QTreeWidget* Tree() { return window.findChild<QTreeWidget*>(QStringLiteral("contents")); }
    QTextBrowser* Browser() { return window.findChild<QTextBrowser*>(QStringLiteral("topic")); }
    QLineEdit* SearchText() { return window.findChild<QLineEdit*>(QStringLiteral("searchText")); }
    QListWidget* Found() { return window.findChild<QListWidget*>(QStringLiteral("searchResults")); }
    QString Focused() { return State()[QStringLiteral("focus")].toString(); }
    // Typed key by key, as a Russian keyboard sends it (QTest::keyClicks knows only ASCII).
    static void Type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    QStringList FoundTitles() {
        QStringList titles;
        for (int row = 0; row < Found()->count(); ++row) {
            titles << Found()->item(row)->text();
        }
        return titles;
    }
    QString Status() { return window.findChild<QLabel*>(QStringLiteral("searchStatus"))->text(); }
    // The runs of the shown topic marked as hits.
    QStringList Marked() {
        QStringList marked;
        for (QTextBlock block = Browser()->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().background().color() == QColor(viewer::kHitBackground)) {
                    marked << it.fragment().text();
                }
            }
        }
        return marked;
    }
    // The text of the block at the top of the topic pane.
    QString TopLine() { return Browser()->cursorForPosition(QPoint(4, 4)).block().text(); }
    void Focus() {
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QApplication& app = App();
    QTemporaryDir dir;
    ViewerWindow window;

private:
    static void WriteSampleHelp(const QString& folder) { brelmont::testing::WriteSampleHelp(folder); }
};

TEST_F(Viewer, HelpButtonShowsTheUntitledContentsWithItsSixTitlesAndEnterOpensTheSelectedOne) {
    ASSERT_TRUE(window.Handle(Command(JumpCommand(kHelpJumpTopic))));
    Focus();
    const auto state = State();
    EXPECT_EQ(state[QStringLiteral("title")].toString(), QStringLiteral("Справка Windows"));
    EXPECT_TRUE(state[QStringLiteral("visible")].toBool());
    EXPECT_EQ(state[QStringLiteral("page")].toString(), QStringLiteral("contents:all"));
    EXPECT_EQ(state[QStringLiteral("focus")].toString(), QStringLiteral("contents"));
    QStringList titles;
    for (const auto& t : state[QStringLiteral("contents")].toArray()) {
        titles << t.toString();
    }
    EXPECT_EQ(titles, brelmont::testing::kSampleTitles);
    EXPECT_EQ(state[QStringLiteral("selected")].toString(), QStringLiteral("О программе"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic10"));
    EXPECT_TRUE(Browser()->toPlainText().contains(QStringLiteral("Текст раздела 10")));
}

TEST_F(Viewer, LinksBetweenTopicsWithBackAndForward) {
    window.Handle(Command(R"(JumpID("","Topic50"))"));
    EXPECT_TRUE(Browser()->toHtml().contains(QStringLiteral("<table")));
    emit Browser()->anchorClicked(QUrl(QStringLiteral("#Topic30")));
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic30"));
    EXPECT_EQ(Tree()->currentItem()->text(0), QStringLiteral("Использование программы"));
    Browser()->backward();
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic50"));
    Browser()->forward();
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic30"));
}

TEST_F(Viewer, UnknownKeywordShowsTheContentsAndTheKeywordSearch) {
    window.Handle(Command(KeywordCommand("ставки на теннис", "help.hlp")));
    Focus();
    const auto state = State();
    EXPECT_EQ(state[QStringLiteral("page")].toString(), QStringLiteral("contents:all"));
    EXPECT_EQ(state[QStringLiteral("tab")].toString(), QStringLiteral("index"));
    EXPECT_EQ(state[QStringLiteral("keyword")].toString(), QStringLiteral("ставки на теннис"));
    EXPECT_EQ(state[QStringLiteral("focus")].toString(), QStringLiteral("keyword"));

    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("keyword"));
    edit->setText(QStringLiteral("кел"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic50"));
}

// F1 in the main window asks with the help file's own name or path as the keyword: nothing to search for.
TEST_F(Viewer, F1AfterTheHelpButtonOpensTheContentsWithAnEmptySearchBox) {
    const QString path = dir.filePath(QStringLiteral("help.hlp"));
    window.Handle(Command(KeywordCommand(path.toStdString(), path.toStdString()), path));
    Focus();
    const auto state = State();
    EXPECT_EQ(state[QStringLiteral("page")].toString(), QStringLiteral("contents:all"));
    EXPECT_EQ(state[QStringLiteral("tab")].toString(), QStringLiteral("contents"));
    EXPECT_EQ(state[QStringLiteral("keyword")].toString(), QString());
    EXPECT_EQ(state[QStringLiteral("focus")].toString(), QStringLiteral("contents"));
}

TEST_F(Viewer, F1BeforeTheHelpButtonFindsTheProgramsUnpackedHelp) {
    QTemporaryDir startFolder; // where the program was started: no help there
    helpprotocol::Request f1 = Command(KeywordCommand("help.hlp", "help.hlp"));
    f1.folder = startFolder.path();
    f1.helpFolder = dir.path();
    for (int press = 1; press <= 2; ++press) {
        window.Handle(f1);
        const auto state = State();
        EXPECT_EQ(state[QStringLiteral("file")].toString(), dir.filePath(QStringLiteral("help.hlp")))
            << press;
        EXPECT_EQ(state[QStringLiteral("page")].toString(), QStringLiteral("contents:all"));
        EXPECT_EQ(state[QStringLiteral("tab")].toString(), QStringLiteral("contents"));
        EXPECT_EQ(state[QStringLiteral("keyword")].toString(), QString());
        EXPECT_EQ(Tree()->topLevelItemCount(), 6);
        EXPECT_FALSE(Browser()->toPlainText().contains(QStringLiteral("не найден")));
    }
    // A help file really in the start folder is still the one a bare name means.
    QTemporaryDir other;
    brelmont::testing::WriteSampleHelp(other.path());
    f1.folder = other.path();
    window.Handle(f1);
    EXPECT_EQ(State()[QStringLiteral("file")].toString(), other.filePath(QStringLiteral("help.hlp")));
}

TEST(HelpProtocol, CarriesTheHelpFolderAndStillReadsRequestsWithout) {
    helpprotocol::Request request;
    request.command = HELP_COMMAND;
    request.file = QStringLiteral("help.hlp");
    request.folder = QStringLiteral("/start");
    request.text = "JumpID(\"\",\"Topic10\")";
    request.number = 7;
    request.helpFolder = QStringLiteral("/run/user/1000/abcdefgh");
    QByteArray framed = helpprotocol::EncodeRequest(request);
    bool broken = false;
    auto decoded = helpprotocol::DecodeRequest(*helpprotocol::TakeMessage(framed, broken));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->helpFolder, request.helpFolder);
    EXPECT_EQ(decoded->number, 7);

    QByteArray old;
    QDataStream out(&old, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << request.command << request.file << request.folder << request.text << request.number;
    decoded = helpprotocol::DecodeRequest(old);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->folder, QStringLiteral("/start"));
    EXPECT_TRUE(decoded->helpFolder.isEmpty());
}

TEST_F(Viewer, KnownKeywordOpensItsTopic) {
    window.Handle(Command(KeywordCommand("кнопки", "help.hlp")));
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic40"));
}

TEST_F(Viewer, ContextRequestsAndForceFileShowTheContents) {
    helpprotocol::Request context = Command("");
    context.command = HELP_CONTEXT;
    context.number = 0;
    window.Handle(context);
    EXPECT_EQ(Page(), QStringLiteral("contents:all"));

    window.Handle(Command(R"(JumpID("","Topic20"))"));
    helpprotocol::Request force = Command("");
    force.command = HELP_FORCEFILE;
    window.Handle(force);
    // The file already shown stays where the user is.
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic20"));
}

TEST_F(Viewer, AHelpFileThatIsNotThereStillShowsAWindowThatSaysSo) {
    window.Handle(Command(JumpCommand("Topic10"), QStringLiteral("nothing.hlp")));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(Browser()->toPlainText().contains(QStringLiteral("не найден")));
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
}

TEST_F(Viewer, QuitIsTheOnlyRequestThatEndsIt) {
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    EXPECT_FALSE(window.Handle(quit));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Viewer, TheHelpsOwnTitleNamesTheWindow) {
    QFile cnt(dir.filePath(QStringLiteral("help.cnt")));
    ASSERT_TRUE(cnt.open(QIODevice::WriteOnly));
    cnt.write(
        brelmont::testing::EncodeCp1251(QStringLiteral(":Base help.hlp\r\n:Title Справка Brelmont\r\n")));
    cnt.close();
    window.Handle(Command(JumpCommand("Topic10")));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Справка Brelmont"));
}

TEST_F(Viewer, ASingleClickInTheContentsOpensTheTopic) {
    window.Handle(Command(JumpCommand(kHelpJumpTopic)));
    Focus();
    auto* licence = Tree()->topLevelItem(1);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(licence).center());
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic20"));
    EXPECT_EQ(Tree()->currentItem(), licence);
    // A second click on the topic shown keeps the place the reader scrolled to.
    Browser()->verticalScrollBar()->setValue(Browser()->verticalScrollBar()->maximum());
    const int scrolled = Browser()->verticalScrollBar()->value();
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(licence).center());
    EXPECT_EQ(Browser()->verticalScrollBar()->value(), scrolled);
    // Arrows only choose; Enter opens.
    QTest::keyClick(Tree(), Qt::Key_Down);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic20"));
    QTest::keyClick(Tree(), Qt::Key_Return);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic30"));
}

TEST_F(Viewer, AnIndexKeywordOfASectionOpensTheSectionNotTheTopOfItsTopic) {
    window.Handle(Command(KeywordCommand("ставки на теннис", "help.hlp")));
    Focus();
    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("keyword"));
    edit->setText(QStringLiteral("график"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic50#RiskChart"));
    EXPECT_GT(Browser()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(TopLine(), QStringLiteral("График риска"));
    EXPECT_EQ(Tree()->currentItem()->text(0), QStringLiteral("Критерий Келли"));

    // Back to where the reader was, and a single click on another keyword opens its topic.
    Browser()->backward();
    EXPECT_EQ(Page(), QStringLiteral("contents:all"));
    auto* keywords = window.findChild<QListWidget*>(QStringLiteral("keywords"));
    const auto buttons = keywords->findItems(QStringLiteral("кнопки"), Qt::MatchExactly);
    ASSERT_EQ(buttons.size(), 1);
    QTest::mouseClick(keywords->viewport(), Qt::LeftButton, {},
                      keywords->visualItemRect(buttons[0]).center());
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic40"));
}

// The risk chart's F1 asks for its section by id, as a topic jump.
TEST_F(Viewer, AJumpToASectionIdOpensItsTopicThere) {
    window.Handle(Command(JumpCommand(kRiskChartHelpTopic)));
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic50#RiskChart"));
    EXPECT_EQ(TopLine(), QStringLiteral("График риска"));
    window.Handle(Command(JumpCommand("NoSuchSection")));
    EXPECT_EQ(Page(), QStringLiteral("contents:all"));
    // A link to the section from another topic goes there too.
    window.Handle(Command(JumpCommand("Topic10")));
    emit Browser()->anchorClicked(QUrl(QStringLiteral("#RiskChart")));
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic50#RiskChart"));
}

TEST_F(Viewer, CtrlFSearchesEveryTopicByKeyboardAndMarksTheHits) {
    window.Handle(Command(JumpCommand(kHelpJumpTopic)));
    Focus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(State()[QStringLiteral("tab")].toString(), QStringLiteral("search"));
    EXPECT_EQ(Focused(), QStringLiteral("searchText"));
    EXPECT_FALSE(SearchText()->accessibleName().isEmpty());
    EXPECT_FALSE(Found()->accessibleName().isEmpty());

    // Each of the topics is searched.
    Type(SearchText(), QStringLiteral("РАЗДЕЛА"));
    EXPECT_EQ(FoundTitles(), brelmont::testing::kSampleTitles);
    EXPECT_EQ(Status(), QStringLiteral("Найдено разделов: 6."));

    SearchText()->selectAll();
    Type(SearchText(), QStringLiteral("РАЗРАБОТКИ"));
    EXPECT_EQ(FoundTitles(), QStringList{QStringLiteral("Наши разработки")});
    EXPECT_EQ(Status(), QStringLiteral("Найдено разделов: 1."));
    QTest::keyClick(SearchText(), Qt::Key_Return);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic60"));
    EXPECT_EQ(Focused(), QStringLiteral("searchResults"));
    EXPECT_EQ(Marked(), QStringList{QStringLiteral("разработки")});
    EXPECT_EQ(Browser()->textCursor().selectedText(), QStringLiteral("разработки"));

    // Ctrl+F again selects the words, so typing replaces them; е finds ё far down a long topic.
    QTest::keyClick(Found(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(Focused(), QStringLiteral("searchText"));
    Type(SearchText(), QStringLiteral("пример расчета"));
    EXPECT_EQ(FoundTitles(), QStringList{QStringLiteral("Критерий Келли")});
    QTest::keyClick(SearchText(), Qt::Key_Down);
    EXPECT_EQ(Focused(), QStringLiteral("searchResults"));
    QTest::keyClick(Found(), Qt::Key_Return);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic50"));
    EXPECT_EQ(Marked(), (QStringList{QStringLiteral("Пример"), QStringLiteral("расчёта")}));
    EXPECT_EQ(Browser()->textCursor().selectedText(), QStringLiteral("Пример"));
    EXPECT_TRUE(Browser()->viewport()->rect().contains(Browser()->cursorRect()));

    // F3 and Shift+F3 step through the hits, round the end.
    const auto current = [this] { return Browser()->textCursor().selectedText(); };
    QTest::keyClick(Found(), Qt::Key_F3);
    EXPECT_EQ(current(), QStringLiteral("расчёта"));
    QTest::keyClick(Found(), Qt::Key_F3);
    EXPECT_EQ(current(), QStringLiteral("Пример"));
    QTest::keyClick(Found(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(current(), QStringLiteral("расчёта"));
    QTest::keyClick(Found(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(current(), QStringLiteral("Пример"));

    // Leaving the topic leaves the marks behind.
    Browser()->backward();
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic60"));
    EXPECT_TRUE(Marked().isEmpty());
}

TEST_F(Viewer, ASearchWithNoHitSaysSoAndOpensNothing) {
    window.Handle(Command(JumpCommand("Topic20")));
    Focus();
    window.ShowTextSearch();
    Type(SearchText(), QStringLiteral("теннис"));
    EXPECT_TRUE(FoundTitles().isEmpty());
    const QString status = Status();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Ничего не найдено"))) << status.toStdString();
    EXPECT_TRUE(status.contains(QStringLiteral("теннис")));
    EXPECT_EQ(Found()->accessibleDescription(), status);
    QTest::keyClick(SearchText(), Qt::Key_Return);
    QTest::keyClick(SearchText(), Qt::Key_Down);
    QTest::keyClick(SearchText(), Qt::Key_F3);
    EXPECT_EQ(Page(), QStringLiteral("topic:Topic20"));
    EXPECT_EQ(Focused(), QStringLiteral("searchText"));
    EXPECT_TRUE(Marked().isEmpty());
    // Clearing the words clears the message.
    SearchText()->clear();
    EXPECT_TRUE(Status().isEmpty());
}

TEST_F(Viewer, TheWindowCarriesTheProgramsIconAndOpensWholeOnTheScreen) {
    EXPECT_FALSE(window.windowIcon().pixmap(QSize(48, 48)).isNull());
    window.Handle(Command(JumpCommand(kHelpJumpTopic)));
    const QRect area = window.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(window.frameGeometry()))
        << window.frameGeometry().width() << "x" << window.frameGeometry().height() << " on " << area.width()
        << "x" << area.height();
    // Where the user puts it afterwards is the user's affair.
    window.move(area.topLeft() + QPoint(7, 9));
    window.Handle(Command(JumpCommand("Topic20")));
    EXPECT_EQ(window.pos(), area.topLeft() + QPoint(7, 9));
}

struct FitRow {
    std::string name;
    QRect available;
    QRect frame;
    QRect expected;
};

class FrameOnScreen : public ::testing::TestWithParam<FitRow> {};

TEST_P(FrameOnScreen, StaysInsideTheAvailableArea) {
    EXPECT_EQ(viewer::KeptInside(GetParam().frame, GetParam().available), GetParam().expected);
}

// The logical work areas of a 1280 x 1024 screen with a 30-pixel panel at the top, at 1x and 2x.
INSTANTIATE_TEST_SUITE_P(Viewer, FrameOnScreen,
                         ::testing::Values(FitRow{"FitsAt1x", QRect(0, 30, 1280, 994),
                                                  QRect(100, 100, 836, 628), QRect(100, 100, 836, 628)},
                                           FitRow{"PushedBackFromEveryEdge", QRect(0, 30, 1280, 994),
                                                  QRect(900, 0, 836, 628), QRect(444, 30, 836, 628)},
                                           FitRow{"CutAt2x", QRect(0, 15, 640, 497), QRect(-8, 0, 1656, 1208),
                                                  QRect(0, 15, 640, 497)}),
                         brelmont::testing::RowName());

} // namespace
