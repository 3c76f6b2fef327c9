// SPDX-License-Identifier: MIT
// The viewer's listening socket on its own and under the request server, driven by raw client sockets so
// that requests can arrive in pieces, from several clients, or stop half-way.
#include "helpviewer/UnixSocketServer.h"

#include "OtherUser.h"
#include "base/testing/OtherUsers.h"
#include "helpdelivery/display/LocalSocket.h"
#include "helpviewer/ClientList.h"
#include "helpviewer/RequestServer.h"
#include "helpviewer/ViewerWindow.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace brelmont;
using viewer::UnixSocketConnection;
using viewer::UnixSocketServer;
using Result = UnixSocketServer::ListenResult;

QApplication& App() {
    static int argc = 1;
    static char name[] = "socket_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the widgets' statics go first at exit.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// A client end that closes itself.
struct Client {
    explicit Client(const QString& server) : fd(localsocket::Connect(server, 1000)) {}
    ~Client() { Close(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    void Close() {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
    void Send(const QByteArray& bytes) const {
        ASSERT_EQ(send(fd, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // Whatever has arrived, without waiting; `ended` once the server has closed its end.
    void Drain() {
        char chunk[65536];
        for (;;) {
            const ssize_t got = recv(fd, chunk, sizeof(chunk), MSG_DONTWAIT);
            if (got > 0) {
                received.append(chunk, got);
            } else {
                ended = ended || got == 0 || (errno != EAGAIN && errno != EINTR);
                return;
            }
        }
    }
    // Runs the event loop until one whole message has arrived.
    QByteArray Answer() {
        std::optional<QByteArray> message;
        const bool arrived = QTest::qWaitFor(
            [&] {
                Drain();
                bool broken = false;
                message = helpprotocol::TakeMessage(received, broken);
                return message.has_value() || broken || ended;
            },
            5000);
        return arrived ? message.value_or(QByteArray()) : QByteArray();
    }
    bool Ends() {
        return QTest::qWaitFor(
            [&] {
                Drain();
                return ended;
            },
            5000);
    }

    int fd;
    QByteArray received;
    bool ended = false;
};

QByteArray QueryState() {
    helpprotocol::Request query;
    query.command = helpprotocol::kQueryState;
    return helpprotocol::EncodeRequest(query);
}

bool IsStateAnswer(const QByteArray& answer) {
    return QJsonDocument::fromJson(answer).object().contains(QStringLiteral("visible"));
}

class SocketServer : public ::testing::Test {
protected:
    SocketServer() { App(); }

    QByteArray Path() const { return QFile::encodeName(name); }
    bool FileExists() const {
        struct stat found {};
        return lstat(Path().constData(), &found) == 0;
    }
    // Leaves a socket file behind with nothing listening on it, as a server that died does.
    void LeaveStaleSocketFile() const {
        const auto address = localsocket::SocketAddress(name);
        ASSERT_TRUE(address);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)), 0);
        close(fd);
    }

    QTemporaryDir dir;
    QString name = dir.filePath(QStringLiteral("viewer.sock"));
};

TEST_F(SocketServer, TheSocketFileIsForThisUserOnlyAndGoesWithTheServer) {
    {
        UnixSocketServer server;
        ASSERT_EQ(server.Listen(name), Result::Listening) << server.ErrorString().toStdString();
        struct stat found {};
        ASSERT_EQ(lstat(Path().constData(), &found), 0);
        EXPECT_TRUE(S_ISSOCK(found.st_mode));
        EXPECT_EQ(found.st_mode & 0777, 0600u);
        EXPECT_TRUE(localsocket::Answers(name, 1000));
    }
    EXPECT_FALSE(FileExists());
    EXPECT_FALSE(localsocket::Answers(name, 1000));
}

TEST_F(SocketServer, ALeftOverSocketFileIsReplaced) {
    LeaveStaleSocketFile();
    ASSERT_TRUE(FileExists());
    EXPECT_FALSE(localsocket::Answers(name, 1000));
    UnixSocketServer server;
    ASSERT_EQ(server.Listen(name), Result::Listening) << server.ErrorString().toStdString();
    EXPECT_TRUE(localsocket::Answers(name, 1000));
}

TEST_F(SocketServer, AFileThatIsNoSocketIsNeitherReplacedNorRemoved) {
    QFile other(name);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("keep");
    other.close();
    {
        UnixSocketServer server;
        EXPECT_EQ(server.Listen(name), Result::Failed);
        EXPECT_FALSE(server.ErrorString().isEmpty());
    }
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("keep"));
}

TEST_F(SocketServer, ASecondServerFindsTheFirstServingAndLeavesItsFileAlone) {
    UnixSocketServer first;
    ASSERT_EQ(first.Listen(name), Result::Listening);
    {
        UnixSocketServer second;
        EXPECT_EQ(second.Listen(name), Result::AlreadyServed);
    }
    EXPECT_TRUE(localsocket::Answers(name, 1000));
}

TEST_F(SocketServer, AServerWhoseFileWasTakenOverDoesNotRemoveTheNewOne) {
    auto first = std::make_unique<UnixSocketServer>();
    ASSERT_EQ(first->Listen(name), Result::Listening);
    ASSERT_EQ(unlink(Path().constData()), 0);
    UnixSocketServer second;
    ASSERT_EQ(second.Listen(name), Result::Listening);
    first.reset();
    EXPECT_TRUE(localsocket::Answers(name, 1000));
}

TEST_F(SocketServer, AnAnswerLargerThanTheSocketTakesGoesOutWhileTheClientReads) {
    UnixSocketServer server;
    ASSERT_EQ(server.Listen(name), Result::Listening);
    QSignalSpy accepted(&server, &UnixSocketServer::newConnection);
    Client client(name);
    ASSERT_TRUE(accepted.wait(5000));
    auto* connection = accepted.at(0).at(0).value<UnixSocketConnection*>();

    QByteArray big(8 << 20, '\0');
    for (qsizetype i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 7);
    }
    connection->Write(big);
    // The write returned with most of it still queued: the window was never held up by a client that reads
    // slowly.
    EXPECT_GT(connection->PendingWrite(), 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            client.Drain();
            return client.received.size() >= big.size() || client.ended;
        },
        10000));
    EXPECT_EQ(client.received, big);
    EXPECT_EQ(connection->PendingWrite(), 0);
}

TEST_F(SocketServer, OutOfDescriptorsItPausesAndTakesTheConnectionWhenSomeAreFree) {
    UnixSocketServer server;
    ASSERT_EQ(server.Listen(name), Result::Listening);
    QSignalSpy accepted(&server, &UnixSocketServer::newConnection);
    Client client(name);
    ASSERT_GE(client.fd, 0);

    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const int highest = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(highest, 0);
    rlimit low = limit;
    low.rlim_cur = static_cast<rlim_t>(highest) + 8;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> taken;
    for (int fd = dup(highest); fd >= 0; fd = dup(highest)) {
        taken.push_back(fd);
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(accepted.count(), 0);
    for (const int fd : taken) {
        close(fd);
    }
    close(highest);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    EXPECT_TRUE(accepted.wait(5000));
}

// The request server with the viewer's window behind it.
class Requests : public SocketServer {
protected:
    Requests() {
        EXPECT_EQ(server.Listen(name), Result::Listening);
        QObject::connect(&server, &UnixSocketServer::newConnection, &server,
                         [this](UnixSocketConnection* connection) { connections << connection; });
    }
    // Runs the event loop until the server holds `size` unread bytes from its `index`th client.
    bool ServerHolds(int index, qsizetype size) {
        return QTest::qWaitFor(
            [&] {
                return connections.size() > index && connections[index] &&
                       connections[index]->Incoming().size() == size;
            },
            5000);
    }

    viewer::ViewerWindow window;
    UnixSocketServer server;
    bool listed = true;
    viewer::ClientList clients{[this](WId) { return listed; }};
    viewer::RequestServer requests{window, server, clients};
    QList<QPointer<UnixSocketConnection>> connections;
};

// Even where another user can reach the socket file, what they send is never read and nothing is answered.
TEST_F(Requests, AClientOfAnotherUserIsClosedUnheard) {
    if (!brelmont::testing::OtherUsersCanWalkTheRoot()) {
        GTEST_SKIP() << brelmont::testing::kRootClosedToOtherUsers;
    }
    brelmont::testing::OpenToOthers(dir.path());
    brelmont::testing::OpenToOthers(name);
    brelmont::testing::OtherUser stranger = brelmont::testing::OtherUser::Client(name, QueryState());
    EXPECT_EQ(stranger.Wait(10000), 0) << "1: answered, 2: kept open, 3: could not connect";
    EXPECT_TRUE(connections.isEmpty());
    Client own(name);
    own.Send(QueryState());
    EXPECT_TRUE(IsStateAnswer(own.Answer()));
}

TEST_F(Requests, ARequestArrivingInPiecesIsAnsweredOnceWholeAndOnlyOnce) {
    const QByteArray query = QueryState();
    Client client(name);
    client.Send(query + query.left(1));
    EXPECT_TRUE(IsStateAnswer(client.Answer()));
    ASSERT_TRUE(ServerHolds(0, 1));
    const qsizetype cuts[] = {3, 6, query.size() - 1};
    qsizetype sent = 1;
    for (const qsizetype cut : cuts) {
        client.Send(query.mid(sent, cut - sent));
        sent = cut;
        ASSERT_TRUE(ServerHolds(0, sent));
        client.Drain();
        EXPECT_TRUE(client.received.isEmpty());
    }
    client.Send(query.mid(sent));
    EXPECT_TRUE(IsStateAnswer(client.Answer()));
    ASSERT_TRUE(ServerHolds(0, 0));
    client.Drain();
    EXPECT_TRUE(client.received.isEmpty());
}

// A window on screen that its manager does not list yet is one the program's activation cannot find: the
// Enter that follows the answer would go to another window.
TEST_F(Requests, AShowIsAnsweredOnlyOnceTheWindowManagerListsTheWindow) {
    listed = false;
    helpprotocol::Request contents;
    contents.command = HELP_FORCEFILE;
    Client client(name);
    client.Send(helpprotocol::EncodeRequest(contents));
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window.windowHandle() != nullptr && window.windowHandle()->isExposed(); }, 5000));
    QTest::qWait(200);
    client.Drain();
    EXPECT_TRUE(client.received.isEmpty()) << "answered before the window was listed";

    listed = true;
    clients.AnnounceChange();
    EXPECT_EQ(client.Answer(), helpprotocol::kShown);

    // Shown and listed already: the next request is answered at once.
    client.Send(helpprotocol::EncodeRequest(contents));
    EXPECT_EQ(client.Answer(), helpprotocol::kShown);
}

TEST_F(Requests, TwoClientsAtOnceEachGetTheirOwnAnswer) {
    const QByteArray query = QueryState();
    Client first(name);
    Client second(name);
    first.Send(query.left(5));
    ASSERT_TRUE(ServerHolds(0, 5));
    second.Send(query + query.left(2));
    EXPECT_TRUE(IsStateAnswer(second.Answer()));
    first.Send(query.mid(5));
    EXPECT_TRUE(IsStateAnswer(first.Answer()));
    second.Send(query.mid(2));
    EXPECT_TRUE(IsStateAnswer(second.Answer()));
}

TEST_F(Requests, AClientThatLeavesMidRequestIsDroppedAndOthersAreStillServed) {
    const QByteArray query = QueryState();
    Client leaving(name);
    leaving.Send(query.left(query.size() / 2));
    ASSERT_TRUE(ServerHolds(0, query.size() / 2));
    leaving.Close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return connections[0].isNull(); }, 5000));

    Client staying(name);
    staying.Send(query);
    EXPECT_TRUE(IsStateAnswer(staying.Answer()));
}

TEST_F(Requests, AStreamThatIsNotOneOfOursIsCutOff) {
    for (const QByteArray& garbage : {QByteArray("\xff\xff\xff\xff", 4), QByteArray("\0\0\0\2zz", 6)}) {
        SCOPED_TRACE(garbage.toHex().toStdString());
        Client client(name);
        client.Send(garbage);
        EXPECT_TRUE(client.Ends());
        EXPECT_TRUE(client.received.isEmpty());
    }
}

} // namespace
