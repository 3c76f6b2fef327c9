// SPDX-License-Identifier: MIT
// The viewer's side of the local socket: takes each request, lets the window carry it out, and answers once
// the window is on screen, so the program's activation that follows finds it. A quit is answered at once
// and ends the viewer.
#pragma once

#include "helpviewer/UnixSocketServer.h"
#include "helpviewer/ViewerWindow.h"

#include <QList>
#include <QPointer>
#include <QTimer>

namespace brelmont::viewer {

class RequestServer final : public QObject {
public:
    // Serves the connections that `server` (listening already, or soon) accepts.
    RequestServer(ViewerWindow& window, UnixSocketServer& server, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Accept(UnixSocketConnection* connection);
    void Read(UnixSocketConnection* connection);
    void AnswerWhenShown(UnixSocketConnection* connection);
    void AnswerWaiting();

    ViewerWindow& window_;
    QList<QPointer<UnixSocketConnection>> waiting_;
    // Answers anyway should the window never be exposed (no compositor frame, an odd window manager).
    QTimer fallback_;
    bool watching_ = false;
};

} // namespace brelmont::viewer
