// SPDX-License-Identifier: MIT
#include "helpdelivery/display/WinHelpBridge.h"

#include "helpdelivery/display/HelpSystem.h"
#include "helpdelivery/display/LocalSocket.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brelmont {

namespace {

// Waits for `events` on `fd` until `deadline`; false on time-out. Signals that interrupt the wait do not end
// it.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd watch{fd, events, 0};
        const int ready = poll(&watch, 1, static_cast<int>(deadline.remainingTime()));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

// Runs `program` as a grandchild, so that init adopts it and it outlives this program, with its standard
// output on a pipe whose reading end is returned (-1 when it could not be started).
int SpawnDetached(const QString& program, const QString& serverName) {
    QByteArray path = QFile::encodeName(program);
    QByteArray option("--server");
    QByteArray server = QFile::encodeName(serverName);
    char* const argv[] = {path.data(), option.data(), server.data(), nullptr};
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) {
        return -1;
    }
    // Between fork and exec only calls that are safe in a copy of a threaded process.
    const pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) {
            // A session of its own: a Ctrl+C or hang-up meant for this program's terminal leaves the viewer
            // that other programs may be using; it ends by itself once no program uses it.
            setsid();
            dup2(output[1], STDOUT_FILENO);
            execv(argv[0], argv);
            _exit(127);
        }
        _exit(0);
    }
    close(output[1]);
    if (child < 0) {
        close(output[0]);
        return -1;
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return output[0];
}

} // namespace

WinHelpBridge::WinHelpBridge(QString viewerProgram, QString serverName, int timeoutMs)
    : viewerProgram_(std::move(viewerProgram)),
      serverName_(serverName.isEmpty() ? helpprotocol::DefaultServerName() : std::move(serverName)),
      timeoutMs_(timeoutMs) {}

WinHelpBridge::~WinHelpBridge() {
    Disconnect();
    ForgetStartedViewer();
}

void WinHelpBridge::ForgetStartedViewer() {
    if (startedViewer_ >= 0) {
        close(startedViewer_);
        startedViewer_ = -1;
    }
}

void WinHelpBridge::Disconnect() {
    if (socket_ >= 0) {
        close(socket_);
        socket_ = -1;
    }
    incoming_.clear();
}

// A connection whose viewer has gone reads as ended at once; it counts as none.
bool WinHelpBridge::Connected() {
    if (socket_ < 0) {
        return false;
    }
    pollfd watch{socket_, POLLIN, 0};
    if (poll(&watch, 1, 0) > 0) {
        char byte = 0;
        if ((watch.revents & (POLLHUP | POLLERR)) != 0 ||
            recv(socket_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0) {
            Disconnect();
            return false;
        }
    }
    return true;
}

bool WinHelpBridge::ConnectOnce() {
    Disconnect();
    socket_ = localsocket::Connect(serverName_, timeoutMs_);
    return socket_ >= 0;
}

QString WinHelpBridge::ViewerProgram() const {
    if (!viewerProgram_.isEmpty()) {
        return viewerProgram_;
    }
    const QLatin1StringView name(kViewerWindowClass.data(),
                                 static_cast<qsizetype>(kViewerWindowClass.size()));
    // Beside the program in the build tree, in libexec once installed, on PATH as a last resort.
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString& candidate :
         {folder + u'/' + name, folder + u'/' + QLatin1String(BRELMONT_VIEWER_FROM_PROGRAM) + u'/' + name}) {
        if (QFileInfo(candidate).isExecutable()) {
            return QFileInfo(candidate).absoluteFilePath();
        }
    }
    return QStandardPaths::findExecutable(name);
}

bool WinHelpBridge::StartViewer() {
    const QString program = ViewerProgram();
    if (program.isEmpty()) {
        return false;
    }
    const int output = SpawnDetached(program, serverName_);
    if (output < 0) {
        return false;
    }
    // The viewer says when it listens; waiting on its output needs no polling.
    const QDeadlineTimer deadline(timeoutMs_);
    QByteArray said;
    while (!said.contains('\n') && WaitFor(output, POLLIN, deadline)) {
        char chunk[64];
        const ssize_t got = read(output, chunk, sizeof(chunk));
        if (got > 0) {
            said.append(chunk, got);
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    close(output);
    return said.startsWith(helpprotocol::kReadyLine);
}

bool WinHelpBridge::Connect(bool startViewer) {
    if (Connected()) {
        return true;
    }
    if (ConnectOnce()) {
        return true;
    }
    if (!startViewer || !StartViewer() || !ConnectOnce()) {
        return false;
    }
    if (const auto peer = localsocket::Peer(socket_)) {
        ForgetStartedViewer();
        startedViewer_ = static_cast<int>(syscall(SYS_pidfd_open, peer->pid, 0));
    }
    return true;
}

QByteArray WinHelpBridge::Exchange(const QByteArray& message) {
    QDeadlineTimer sending(timeoutMs_);
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t wrote = send(socket_, message.constData() + sent,
                                   static_cast<size_t>(message.size() - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (wrote > 0) {
            sent += wrote;
        } else if (wrote < 0 && errno == EINTR) {
            continue;
        } else if (wrote < 0 && errno == EAGAIN && WaitFor(socket_, POLLOUT, sending)) {
            continue;
        } else {
            Disconnect();
            return {};
        }
    }
    QDeadlineTimer deadline(timeoutMs_);
    for (;;) {
        bool broken = false;
        if (auto reply = helpprotocol::TakeMessage(incoming_, broken)) {
            return *reply;
        }
        if (broken) {
            Disconnect();
            return {};
        }
        if (!WaitFor(socket_, POLLIN, deadline)) {
            if (deadline.hasExpired()) {
                hung_ = true;
            }
            return {};
        }
        char chunk[4096];
        const ssize_t got = recv(socket_, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (got > 0) {
            incoming_.append(chunk, got);
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            Disconnect();
            return {};
        }
    }
}

QByteArray WinHelpBridge::Send(const helpprotocol::Request& request) {
    const bool quit = request.command == HELP_QUIT;
    const QByteArray message = helpprotocol::EncodeRequest(request);
    // A viewer that the user has closed leaves a dead connection behind; the second round starts a new one.
    for (int round = 0; round < 2; ++round) {
        if (quit && !Connected()) {
            return {};
        }
        if (!Connect(!quit)) {
            return {};
        }
        hung_ = false;
        QByteArray reply = Exchange(message);
        if (!reply.isEmpty() || hung_ || quit) {
            if (quit) {
                // The viewer drops the connection as it ends; the program's own child is waited for too.
                if (socket_ >= 0) {
                    char rest[256];
                    const QDeadlineTimer ending(timeoutMs_);
                    while (WaitFor(socket_, POLLIN, ending) && recv(socket_, rest, sizeof(rest), 0) > 0) {
                    }
                }
                Disconnect();
            }
            return reply;
        }
        Disconnect();
    }
    return {};
}

void WinHelpBridge::WaitForViewerExit() {
    if (startedViewer_ >= 0 && !WaitFor(startedViewer_, POLLIN, QDeadlineTimer(1000))) {
        syscall(SYS_pidfd_send_signal, startedViewer_, SIGKILL, nullptr, 0);
        WaitFor(startedViewer_, POLLIN, QDeadlineTimer(1000));
    }
    ForgetStartedViewer();
    Disconnect();
    hung_ = false;
}

} // namespace brelmont
