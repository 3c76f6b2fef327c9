// SPDX-License-Identifier: MIT
// The program's side and the real viewer program together, on the offscreen platform.
#include "OtherUser.h"
#include "SampleHelp.h"
#include "base/testing/OtherUsers.h"
#include "helpdelivery/display/HelpSystem.h"
#include "helpdelivery/display/LocalSocket.h"
#include "helpdelivery/display/WinHelpBridge.h"
#include "helpviewer/UnixSocketServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUuid>
#include <chrono>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

// Sets (a null value: unsets) an environment variable for the life of the object.
class EnvOverride {
public:
    EnvOverride(const char* name, const QByteArray& value) : name_(name), saved_(qgetenv(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvOverride() { saved_.isNull() ? qunsetenv(name_) : qputenv(name_, saved_); }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    const char* name_;
    QByteArray saved_;
};

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
    // Ends the viewer at `server` the way the user's closing it does: the process goes.
    void CloseViewer() {
        const int fd = localsocket::Connect(server, 1000);
        ASSERT_GE(fd, 0);
        const auto peer = localsocket::Peer(fd);
        close(fd);
        ASSERT_TRUE(peer);
        kill(peer->pid, SIGTERM);
    }
    // Does `act`, then waits for `ended` to hold: the viewer learns of its end by events, not at once.
    static bool EndsWithin(const std::function<bool()>& ended, const std::function<void()>& act) {
        act();
        QDeadlineTimer deadline(10000);
        while (!ended()) {
            if (deadline.hasExpired()) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

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
    ASSERT_TRUE(EndsWithin([this] { return !Answers(); }, [this] { CloseViewer(); }));
    EXPECT_EQ(bridge.Send(Jump("Topic20")), QByteArray(helpprotocol::kShown));
    EXPECT_EQ(Query(bridge)[QStringLiteral("page")].toString(), QStringLiteral("topic:Topic20"));
}

// Two programs share one viewer: each one's quit ends only its own use, and the viewer ends with the last.
TEST_F(Bridge, TheViewerStaysUntilTheLastProgramThatUsedItQuits) {
    bridge.Send(Jump("Topic10"));
    WinHelpBridge second(QStringLiteral("/nonexistent/brelmont-help"), server);
    second.Send(Jump("Topic40"));
    WinHelpBridge looker(QStringLiteral("/nonexistent/brelmont-help"), server);
    Query(looker);
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(second.Send(quit), QByteArray(helpprotocol::kShown));
    EXPECT_LT(took.elapsed(), 5000) << "the quitting program waited for a viewer that stays";
    ASSERT_TRUE(Answers());
    EXPECT_EQ(Query(bridge)[QStringLiteral("page")].toString(), QStringLiteral("topic:Topic40"));
    // A connection that only asked what is shown uses nothing.
    EXPECT_EQ(bridge.Send(quit), QByteArray(helpprotocol::kShown));
    EXPECT_FALSE(Answers());
}

// A program that is killed never says quit: its connection closing ends its use. The viewer is no child of
// the program that started it, so it serves the others after that program is gone.
TEST_F(Bridge, AProgramThatEndsWithoutQuittingEndsOnlyItsOwnUse) {
    auto starter = std::make_unique<WinHelpBridge>(QStringLiteral(BRELMONT_VIEWER_PROGRAM),
                                                   dir.filePath(QStringLiteral("shared.sock")));
    auto other =
        std::make_unique<WinHelpBridge>(QStringLiteral("/nonexistent/brelmont-help"), starter->ServerName());
    ASSERT_EQ(starter->Send(Jump("Topic10")), QByteArray(helpprotocol::kShown));
    ASSERT_EQ(other->Send(Jump("Topic20")), QByteArray(helpprotocol::kShown));
    starter.reset();
    EXPECT_EQ(Query(*other)[QStringLiteral("page")].toString(), QStringLiteral("topic:Topic20"));
    const QString shared = other->ServerName();
    EXPECT_TRUE(EndsWithin([&] { return !localsocket::Answers(shared, 1000); }, [&] { other.reset(); }));
}

// Another local user's socket where the viewer's should be: it hears nothing, holds nothing up, and a viewer
// still starts there.
TEST_F(Bridge, ASocketOfAnotherUserIsNeverSpokenToAndDoesNotKeepTheHelpAway) {
    if (!brelmont::testing::OtherUsersCanWalkTheRoot()) {
        GTEST_SKIP() << brelmont::testing::kRootClosedToOtherUsers;
    }
    brelmont::testing::OpenToOthers(dir.path());
    const QString planted = dir.filePath(QStringLiteral("planted.sock"));
    brelmont::testing::OtherUser stranger = brelmont::testing::OtherUser::Listener(planted);
    ASSERT_TRUE(stranger.Reported("listening", 5000));

    WinHelpBridge lost(QStringLiteral("/nonexistent/brelmont-help"), planted);
    QElapsedTimer took;
    took.start();
    EXPECT_TRUE(lost.Send(Jump("Topic10")).isEmpty());
    EXPECT_LT(took.elapsed(), 5000) << "the program waited on another user's socket";
    EXPECT_FALSE(lost.ViewerHung());

    WinHelpBridge real(QStringLiteral(BRELMONT_VIEWER_PROGRAM), planted);
    EXPECT_EQ(real.Send(Jump("Topic10")), QByteArray(helpprotocol::kShown));
    EXPECT_FALSE(stranger.Reported("heard", 500));
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    real.Send(quit);
}

// Without a runtime folder the viewer's socket goes into the per-user private folder of the temporary one,
// not to a fixed name that another user can take first.
TEST_F(Bridge, WithoutARuntimeFolderTheSocketLiesInAPrivateFolderOfThisUser) {
    if (!brelmont::testing::OtherUsersCanWalkTheRoot()) {
        GTEST_SKIP() << brelmont::testing::kRootClosedToOtherUsers;
    }
    const EnvOverride runtime("XDG_RUNTIME_DIR", {});
    const EnvOverride display("DISPLAY", {});
    const EnvOverride temp("TMPDIR", QFile::encodeName(dir.path()));
    brelmont::testing::OpenToOthers(dir.path());
    const QString fixedName = dir.filePath(QStringLiteral("brelmont-help-%1").arg(getuid()));
    brelmont::testing::OtherUser stranger = brelmont::testing::OtherUser::Listener(fixedName);
    ASSERT_TRUE(stranger.Reported("listening", 5000));

    const QString name = helpprotocol::DefaultServerName();
    struct stat folder {};
    ASSERT_EQ(lstat(QFile::encodeName(QFileInfo(name).path()).constData(), &folder), 0) << name.toStdString();
    EXPECT_TRUE(S_ISDIR(folder.st_mode));
    EXPECT_EQ(folder.st_uid, geteuid());
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    {
        WinHelpBridge usual(QStringLiteral(BRELMONT_VIEWER_PROGRAM), QString());
        EXPECT_EQ(usual.ServerName(), name);
        EXPECT_EQ(usual.Send(Jump("Topic30")), QByteArray(helpprotocol::kShown));
        helpprotocol::Request quit;
        quit.command = HELP_QUIT;
        usual.Send(quit);
    }
    EXPECT_FALSE(stranger.Reported("heard", 500));

    // A plain file where the socket belongs keeps no program from its help.
    QFile plain(name);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    WinHelpBridge blocked(QStringLiteral(BRELMONT_VIEWER_PROGRAM), QString());
    EXPECT_EQ(blocked.Send(Jump("Topic30")), QByteArray(helpprotocol::kShown));
    WinHelpBridge another(QStringLiteral("/nonexistent/brelmont-help"), QString());
    EXPECT_EQ(Query(another)[QStringLiteral("page")].toString(), QStringLiteral("topic:Topic30"));
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    blocked.Send(quit);
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
