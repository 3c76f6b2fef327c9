// SPDX-License-Identifier: MIT
// Another local user for the socket tests: a child process that has become "nobody" and does its part with
// plain system calls (the tests run as root, which may change its user). Its reports come back on a pipe.
#pragma once

#include <QString>
#include <functional>
#include <sys/types.h>

namespace brelmont::testing {

class OtherUser {
public:
    // Forks; the child becomes nobody, runs `work` with the pipe's writing end and exits with its result.
    explicit OtherUser(const std::function<int(int report)>& work);
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    // Whether the child has written `text` within `timeoutMs`; the toolkit's events are served meanwhile.
    bool Reported(const QByteArray& text, int timeoutMs);
    // Serves the toolkit's events until the child ends; its exit status, or -1 when it has not ended in time.
    int Wait(int timeoutMs);

    // A listening socket at `path` that reports "heard" for every byte it is sent and accepts any number of
    // connections.
    static OtherUser Listener(const QString& path);
    // Connects to `path`, sends `bytes` and waits up to two seconds: exits 0 when the server closed the
    // connection having sent nothing, 1 when it answered, 2 when it kept silent, 3 when it could not connect.
    static OtherUser Client(const QString& path, const QByteArray& bytes);

private:
    pid_t pid_ = -1;
    int report_ = -1;
    QByteArray reported_;
};

// Lets others into `path`: a folder gets 0777 (with the sticky bit, as /tmp), a file 0666.
void OpenToOthers(const QString& path);

} // namespace brelmont::testing
