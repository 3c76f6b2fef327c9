// SPDX-License-Identifier: MIT
#include "helpviewer/ViewerWindow.h"

#include "SampleHelp.h"
#include "helpdelivery/display/HelpSystem.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using namespace brelmont;
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

} // namespace
