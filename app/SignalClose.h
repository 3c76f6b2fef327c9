// SPDX-License-Identifier: MIT
// Turns SIGTERM, SIGINT and SIGHUP into an ordinary close of the main window, so that a logout, a kill or
// Ctrl+C runs the same clean-up as the Exit button. The signal handler only writes a byte into a pipe; the
// event loop sees the pipe become readable (no polling) and closes the window from there.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace brelmont {

class SignalClose : public QObject {
    Q_OBJECT

public:
    // Installs the handlers. Created before the main window, so a signal during its creation is not lost.
    SignalClose();
    ~SignalClose() override;

    // The window that a signal closes. A signal that came before it existed closes it as soon as the event
    // loop runs.
    void SetTarget(QWidget* window);

private:
    void Drain();

    QPointer<QWidget> fTarget;
    std::unique_ptr<QSocketNotifier> fNotifier;
    std::vector<int> fHandled;
    bool fPending = false;
};

} // namespace brelmont
