// SPDX-License-Identifier: MIT
#include "helpviewer/UnixSocketServer.h"

#include "helpdelivery/display/LocalSocket.h"

#include <QFile>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::viewer {

namespace {

// How long the check for a server that still answers on an old socket file may take.
constexpr int kProbeMs = 500;
// Read at most this much per wake-up, so that one busy client cannot hold up the window.
constexpr int kReadsPerWakeUp = 16;
constexpr int kRetryAcceptMs = 200;

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

UnixSocketConnection::UnixSocketConnection(int fd, QObject* parent)
    : QObject(parent), fd_(fd), readNotifier_(fd, QSocketNotifier::Read),
      writeNotifier_(fd, QSocketNotifier::Write) {
    writeNotifier_.setEnabled(false);
    connect(&readNotifier_, &QSocketNotifier::activated, this, &UnixSocketConnection::OnReadable);
    connect(&writeNotifier_, &QSocketNotifier::activated, this, &UnixSocketConnection::Flush);
}

UnixSocketConnection::~UnixSocketConnection() {
    if (fd_ >= 0) {
        readNotifier_.setEnabled(false);
        writeNotifier_.setEnabled(false);
        close(fd_);
    }
}

void UnixSocketConnection::OnReadable() {
    bool received = false;
    bool ended = false;
    for (int round = 0; round < kReadsPerWakeUp && !ended; ++round) {
        char chunk[4096];
        const ssize_t got = recv(fd_, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (got > 0) {
            incoming_.append(chunk, static_cast<qsizetype>(got));
            received = true;
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            ended = true;
        }
    }
    // What came before the end is still handed over: a client may send a request and go.
    if (received) {
        emit readyRead();
    }
    if (ended && IsOpen()) {
        Close();
    }
}

void UnixSocketConnection::Write(const QByteArray& data) {
    if (!IsOpen()) {
        return;
    }
    outgoing_ += data;
    Flush();
}

void UnixSocketConnection::Flush() {
    while (IsOpen() && !outgoing_.isEmpty()) {
        const ssize_t sent = send(fd_, outgoing_.constData(), static_cast<size_t>(outgoing_.size()),
                                  MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            outgoing_.remove(0, static_cast<qsizetype>(sent));
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writeNotifier_.setEnabled(true);
            return;
        } else {
            Close();
            return;
        }
    }
    writeNotifier_.setEnabled(false);
    if (closeWhenSent_ && IsOpen()) {
        Close();
    }
}

void UnixSocketConnection::CloseWhenSent() {
    if (!IsOpen()) {
        return;
    }
    closeWhenSent_ = true;
    readNotifier_.setEnabled(false);
    Flush();
}

void UnixSocketConnection::Abort() {
    if (IsOpen()) {
        Close();
    }
}

void UnixSocketConnection::Close() {
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    close(fd_);
    fd_ = -1;
    outgoing_.clear();
    emit disconnected();
    deleteLater();
}

UnixSocketServer::UnixSocketServer(QObject* parent) : QObject(parent) {}

UnixSocketServer::~UnixSocketServer() {
    Close();
}

UnixSocketServer::ListenResult UnixSocketServer::Fail(const QString& what, int error) {
    error_ = QStringLiteral("%1: %2").arg(what, Reason(error));
    Close();
    return ListenResult::Failed;
}

UnixSocketServer::ListenResult UnixSocketServer::Listen(const QString& serverName) {
    Close();
    error_.clear();
    const auto address = localsocket::SocketAddress(serverName);
    const QString path = localsocket::SocketPath(serverName);
    if (!address) {
        return Fail(path, ENAMETOOLONG);
    }
    const QByteArray encoded = QFile::encodeName(path);

    struct stat found {};
    if (lstat(encoded.constData(), &found) == 0) {
        if (!S_ISSOCK(found.st_mode)) {
            return Fail(path, EEXIST);
        }
        if (localsocket::Answers(serverName, kProbeMs)) {
            error_ = QStringLiteral("%1: another server answers there").arg(path);
            return ListenResult::AlreadyServed;
        }
        if (unlink(encoded.constData()) != 0 && errno != ENOENT) {
            return Fail(path, errno);
        }
    }

    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        return Fail(path, errno);
    }
    // The file is made user-only as it is made: no moment in which someone else could connect.
    const mode_t oldMask = umask(S_IRWXG | S_IRWXO | S_IXUSR);
    const int bound = bind(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address));
    const int bindError = errno;
    umask(oldMask);
    if (bound != 0) {
        // Another server started between the check and here.
        if (bindError == EADDRINUSE && localsocket::Answers(serverName, kProbeMs)) {
            Close();
            error_ = QStringLiteral("%1: another server answers there").arg(path);
            return ListenResult::AlreadyServed;
        }
        return Fail(path, bindError);
    }
    path_ = path;
    struct stat made {};
    if (stat(encoded.constData(), &made) != 0) {
        return Fail(path, errno);
    }
    device_ = made.st_dev;
    inode_ = made.st_ino;
    if (chmod(encoded.constData(), S_IRUSR | S_IWUSR) != 0 || listen(fd_, SOMAXCONN) != 0) {
        return Fail(path, errno);
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UnixSocketServer::Accept);
    return ListenResult::Listening;
}

void UnixSocketServer::Accept() {
    for (;;) {
        const int client = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client >= 0) {
            // The file's mode keeps others out, but a file can be reached through a folder that others may
            // open: only a peer of this user is ever heard.
            if (!localsocket::PeerIsThisUser(client)) {
                close(client);
                continue;
            }
            emit newConnection(new UnixSocketConnection(client, this));
            continue;
        }
        switch (errno) {
        case EINTR:
        case ECONNABORTED:
        case EPROTO:
            continue;
        case EMFILE:
        case ENFILE:
        case ENOBUFS:
        case ENOMEM:
            // The waiting connection stays queued and would wake the loop again at once: pause instead,
            // and try again a little later, when descriptors or memory may have been freed.
            notifier_->setEnabled(false);
            QTimer::singleShot(kRetryAcceptMs, notifier_,
                               [notifier = notifier_] { notifier->setEnabled(true); });
            return;
        default:
            return;
        }
    }
}

void UnixSocketServer::Close() {
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!path_.isEmpty()) {
        const QByteArray encoded = QFile::encodeName(path_);
        struct stat found {};
        if (lstat(encoded.constData(), &found) == 0 && found.st_dev == device_ && found.st_ino == inode_) {
            unlink(encoded.constData());
        }
        path_.clear();
    }
}

} // namespace brelmont::viewer
