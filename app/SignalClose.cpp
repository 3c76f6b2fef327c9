// SPDX-License-Identifier: MIT
#include "SignalClose.h"

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace brelmont {

namespace {

int gPipe[2] = {-1, -1};

extern "C" void OnCloseSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a pending close; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = write(gPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalClose::SignalClose() {
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    fNotifier = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    connect(fNotifier.get(), &QSocketNotifier::activated, this, &SignalClose::Drain);

    struct sigaction action = {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // A signal the starter chose to ignore (nohup, a background job) stays ignored.
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signal, &action, nullptr);
        fHandled.push_back(signal);
    }
}

SignalClose::~SignalClose() {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : fHandled) {
        sigaction(signal, &action, nullptr);
    }
    fNotifier.reset();
    for (int& fd : gPipe) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

void SignalClose::Drain() {
    char buffer[64];
    while (read(gPipe[0], buffer, sizeof buffer) > 0) {
    }
    if (fTarget != nullptr) {
        fTarget->close();
        return;
    }
    // The main window is still being made, and a start-up error box may be holding it up: close the box so
    // that the start can finish, and the window closes with its usual clean-up once it exists.
    fPending = true;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
    }
}

void SignalClose::SetTarget(QWidget* window) {
    fTarget = window;
    if (fPending && window != nullptr) {
        fPending = false;
        QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
    }
}

} // namespace brelmont
