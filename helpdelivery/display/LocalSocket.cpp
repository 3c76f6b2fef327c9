// SPDX-License-Identifier: MIT
#include "helpdelivery/display/LocalSocket.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace brelmont::localsocket {

QString SocketPath(const QString& serverName) {
    return serverName.startsWith(u'/') ? serverName : QDir::cleanPath(QDir::tempPath()) + u'/' + serverName;
}

std::optional<sockaddr_un> SocketAddress(const QString& serverName) {
    const QByteArray encoded = QFile::encodeName(SocketPath(serverName));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (encoded.isEmpty() || encoded.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, encoded.constData(), static_cast<size_t>(encoded.size()));
    return address;
}

std::optional<ucred> Peer(int fd) {
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof(credentials)) {
        return std::nullopt;
    }
    return credentials;
}

bool PeerIsThisUser(int fd) {
    const auto peer = Peer(fd);
    return peer && peer->uid == geteuid();
}

namespace {

int ConnectAnyone(const QString& serverName, int timeoutMs) {
    const auto address = SocketAddress(serverName);
    if (!address) {
        return -1;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) == 0) {
        return fd;
    }
    // A signal that interrupts the wait leaves the connection to be made in the background.
    if (errno == EINTR) {
        pollfd watch{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof(error);
        int ready = 0;
        do {
            ready = poll(&watch, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready > 0 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) {
            return fd;
        }
    }
    close(fd);
    return -1;
}

} // namespace

// The request carries the program's folders and the viewer's answer steers its keys: neither may go to a
// stranger, so the check comes before the first byte.
int Connect(const QString& serverName, int timeoutMs) {
    const int fd = ConnectAnyone(serverName, timeoutMs);
    if (fd >= 0 && !PeerIsThisUser(fd)) {
        close(fd);
        return -1;
    }
    return fd;
}

bool Answers(const QString& serverName, int timeoutMs) {
    const int fd = Connect(serverName, timeoutMs);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

} // namespace brelmont::localsocket
