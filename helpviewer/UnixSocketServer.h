// SPDX-License-Identifier: MIT
// A listening Unix-domain socket driven by the event loop, with no network library: the viewer serves one
// local program, and loading the toolkit's network module for that would cost a good part of its start.
// Sockets are non-blocking and watched by socket notifiers, so a slow or silent client never holds up the
// window and an idle server uses no CPU.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <sys/types.h>

namespace brelmont::viewer {

// One accepted client. Incoming bytes gather in Incoming() until the owner takes them; writes that the
// socket cannot take at once wait in a queue and go out as it drains.
class UnixSocketConnection final : public QObject {
    Q_OBJECT
public:
    UnixSocketConnection(int fd, QObject* parent);
    ~UnixSocketConnection() override;
    UnixSocketConnection(const UnixSocketConnection&) = delete;
    UnixSocketConnection& operator=(const UnixSocketConnection&) = delete;

    QByteArray& Incoming() { return incoming_; }
    void Write(const QByteArray& data);
    // Closes at once, dropping whatever has not gone out.
    void Abort();
    // Closes once everything written so far has gone out, reading nothing more meanwhile.
    void CloseWhenSent();
    bool IsOpen() const { return fd_ >= 0; }
    qsizetype PendingWrite() const { return outgoing_.size(); }

signals:
    void readyRead();
    // Once, when the peer has gone or the connection was aborted; the connection then deletes itself.
    void disconnected();

private:
    void OnReadable();
    void Flush();
    void Close();

    int fd_;
    QSocketNotifier readNotifier_;
    QSocketNotifier writeNotifier_;
    QByteArray incoming_;
    QByteArray outgoing_;
    bool closeWhenSent_ = false;
};

class UnixSocketServer final : public QObject {
    Q_OBJECT
public:
    enum class ListenResult { Listening, AlreadyServed, Failed };

    explicit UnixSocketServer(QObject* parent = nullptr);
    // Closes the socket and removes its file, unless another server has put its own there since.
    ~UnixSocketServer() override;
    UnixSocketServer(const UnixSocketServer&) = delete;
    UnixSocketServer& operator=(const UnixSocketServer&) = delete;

    // Listens on `serverName` (a path, or a name placed as LocalSocket.h says), reachable by this user only.
    // A socket file that nothing of this user answers on is left over from a server that died, or planted,
    // and is replaced; one that answers means another server already serves there (AlreadyServed), and it is
    // left alone. Connections from other users are closed unheard.
    ListenResult Listen(const QString& serverName);
    QString ErrorString() const { return error_; }
    QString Path() const { return path_; }

signals:
    void newConnection(brelmont::viewer::UnixSocketConnection* connection);

private:
    void Accept();
    ListenResult Fail(const QString& what, int error);
    void Close();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QString path_;
    QString error_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

} // namespace brelmont::viewer
