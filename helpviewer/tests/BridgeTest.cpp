// SPDX-License-Identifier: MIT
// The program's side and the real viewer program together, on the offscreen platform.
#include "SampleHelp.h"
#include "helpdelivery/display/HelpSystem.h"
#include "helpdelivery/display/LocalSocket.h"
#include "helpdelivery/display/WinHelpBridge.h"
#include "helpviewer/UnixSocketServer.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#ifndef BRELMONT_VIEWER_PROGRAM
#error "the tests need the viewer program's path"
#endif

namespace {

using namespace brelmont;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "bridge_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the widgets' statics go first at exit.
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

class Bridge : public ::testing::Test {
protected:
    Bridge() {
        App();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        brelmont::testing::WriteSampleHelp(dir.path());
    }
    ~Bridge() override {
        helpprotocol::Request quit;
        quit.command = HELP_QUIT;
        bridge.Send(quit);
    }

    helpprotocol::Request Jump(const char* topic) {
        helpprotocol::Request request;
        request.command = HELP_COMMAND;
        request.file = QStringLiteral("help.hlp");
        request.folder = dir.path();
        request.text = QByteArray::fromStdString(JumpCommand(topic));
        return request;
    }
    QJsonObject Query(WinHelpBridge& via) {
        helpprotocol::Request query;
        query.command = helpprotocol::kQueryState;
        return QJsonDocument::fromJson(via.Send(query)).object();
    }
    bool Answers() { return localsocket::Answers(server, 1000); }

    QTemporaryDir dir;
    QString server = dir.filePath(QStringLiteral("viewer.sock"));
    WinHelpBridge bridge{QStringLiteral(BRELMONT_VIEWER_PROGRAM), server};
};

TEST_F(Bridge, TheFirstRequestStartsTheViewerAndReturnsOnceItShowsWhatWasAsked) {
    EXPECT_FALSE(Answers());
    EXPECT_EQ(bridge.Send(Jump("TApplication_HelpJump")), QByteArray(helpprotocol::kShown));
    const auto state = Query(bridge);
    EXPECT_TRUE(state[QStringLiteral("visible")].toBool());
    EXPECT_EQ(state[QStringLiteral("title")].toString(), QStringLiteral("Справка Windows"));
    EXPECT_EQ(state[QStringLiteral("page")].toString(), QStringLiteral("contents:all"));
}

TEST_F(Bridge, LaterRequestsAndOtherProgramsReachTheRunningViewer) {
    bridge.Send(Jump("Topic10"));
    WinHelpBridge second(QStringLiteral("/nonexistent/brelmont-help"), server);
    EXPECT_EQ(second.Send(Jump("Topic40")), QByteArray(helpprotocol::kShown));
    EXPECT_EQ(Query(bridge)[QStringLiteral("page")].toString(), QStringLiteral("topic:Topic40"));
    EXPECT_FALSE(bridge.ViewerHung());
}

TEST_F(Bridge, QuitClosesTheViewerAndNeverStartsOne) {
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    EXPECT_TRUE(bridge.Send(quit).isEmpty());
    EXPECT_FALSE(Answers());

    bridge.Send(Jump("Topic10"));
    ASSERT_TRUE(Answers());
    EXPECT_EQ(bridge.Send(quit), QByteArray(helpprotocol::kShown));
    EXPECT_FALSE(Answers());
}

TEST_F(Bridge, AViewerTheUserClosedIsStartedAgain) {
    bridge.Send(Jump("Topic10"));
    WinHelpBridge other(QStringLiteral("/nonexistent/brelmont-help"), server);
    other.Send(Jump("Topic30"));
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    other.Send(quit);
    ASSERT_FALSE(Answers());
    EXPECT_EQ(bridge.Send(Jump("Topic20")), QByteArray(helpprotocol::kShown));
    EXPECT_EQ(Query(bridge)[QStringLiteral("page")].toString(), QStringLiteral("topic:Topic20"));
}

TEST_F(Bridge, NoViewerProgramMeansNoAnswerAndNoHang) {
    WinHelpBridge lost(QStringLiteral("/nonexistent/brelmont-help"),
                       dir.filePath(QStringLiteral("other.sock")));
    EXPECT_TRUE(lost.Send(Jump("Topic10")).isEmpty());
    EXPECT_FALSE(lost.ViewerHung());
}

// The program reaches the viewer by its own socket code: a name that is not a path must lead where the
// viewer listens, and a viewer that takes a request and never answers must count as hung, not as gone.
TEST_F(Bridge, AServerNameThatIsNotAPathReachesTheViewer) {
    const QString name = QStringLiteral("brelmont-bridge-test-") + QUuid::createUuid().toString(QUuid::Id128);
    WinHelpBridge named(QStringLiteral(BRELMONT_VIEWER_PROGRAM), name);
    EXPECT_EQ(named.Send(Jump("Topic20")), QByteArray(helpprotocol::kShown));
    EXPECT_EQ(Query(named)[QStringLiteral("page")].toString(), QStringLiteral("topic:Topic20"));
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    named.Send(quit);
    EXPECT_FALSE(localsocket::Answers(name, 1000));
}

TEST_F(Bridge, AViewerThatNeverAnswersIsHung) {
    viewer::UnixSocketServer silent;
    ASSERT_EQ(silent.Listen(dir.filePath(QStringLiteral("silent.sock"))),
              viewer::UnixSocketServer::ListenResult::Listening);
    WinHelpBridge waiting(QStringLiteral("/nonexistent/brelmont-help"), silent.Path(), 300);
    EXPECT_TRUE(waiting.Send(Jump("Topic10")).isEmpty());
    EXPECT_TRUE(waiting.ViewerHung());
}

} // namespace
