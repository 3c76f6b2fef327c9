// SPDX-License-Identifier: MIT
#include "OtherUser.h"

#include "helpdelivery/display/LocalSocket.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brelmont::testing {

OtherUser::OtherUser(const std::function<int(int report)>& work) {
    const passwd* nobody = getpwnam("nobody");
    const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
    const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(pipe[0]);
        if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
            _exit(100);
        }
        _exit(work(pipe[1]));
    }
    close(pipe[1]);
    report_ = pipe[0];
    fcntl(report_, F_SETFL, O_NONBLOCK);
}

OtherUser::~OtherUser() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (report_ >= 0) {
        close(report_);
    }
}

bool OtherUser::Reported(const QByteArray& text, int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            char chunk[256];
            ssize_t got = 0;
            while ((got = read(report_, chunk, sizeof(chunk))) > 0) {
                reported_.append(chunk, got);
            }
            return reported_.contains(text);
        },
        timeoutMs);
}

int OtherUser::Wait(int timeoutMs) {
    int status = 0;
    const bool ended = QTest::qWaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, timeoutMs);
    if (!ended) {
        return -1;
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

OtherUser OtherUser::Listener(const QString& path) {
    const auto address = localsocket::SocketAddress(path);
    return OtherUser([address](int report) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (!address || fd < 0 ||
            bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0 ||
            listen(fd, 16) != 0) {
            return 3;
        }
        [[maybe_unused]] ssize_t said = write(report, "listening\n", 10);
        for (;;) {
            const int client = accept(fd, nullptr, nullptr);
            if (client < 0) {
                continue;
            }
            char chunk[4096];
            while (recv(client, chunk, sizeof(chunk), 0) > 0) {
                said = write(report, "heard\n", 6);
            }
            close(client);
        }
    });
}

OtherUser OtherUser::Client(const QString& path, const QByteArray& bytes) {
    const auto address = localsocket::SocketAddress(path);
    return OtherUser([address, bytes](int) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (!address || fd < 0 ||
            connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0) {
            return 3;
        }
        send(fd, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL);
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, 2000) <= 0) {
            return 2;
        }
        char byte = 0;
        return recv(fd, &byte, 1, 0) > 0 ? 1 : 0;
    });
}

void OpenToOthers(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    struct stat st {};
    if (stat(encoded.constData(), &st) == 0) {
        chmod(encoded.constData(), S_ISDIR(st.st_mode) ? (S_ISVTX | 0777) : 0666);
    }
}

} // namespace brelmont::testing
