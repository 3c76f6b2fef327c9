// SPDX-License-Identifier: MIT
// The viewer's side of the local socket: takes each request, lets the window carry it out, and answers once
// the window is on screen and its window manager lists it, so the program's activation that follows finds it.
// Several programs may share one viewer: each connection that asked to be shown something counts as a
// program using it. A quit is answered at once and ends only that program's use; the viewer ends with the
// last use, whether that ends by a quit or by the connection closing (a program that was killed).
#pragma once

#include "helpviewer/ClientList.h"
#include "helpviewer/UnixSocketServer.h"
#include "helpviewer/ViewerWindow.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QTimer>

namespace brelmont::viewer {

class RequestServer final : public QObject {
public:
    // Serves the connections that `server` (listening already, or soon) accepts.
    RequestServer(ViewerWindow& window, UnixSocketServer& server, ClientList& clients,
                  QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Accept(UnixSocketConnection* connection);
    void Read(UnixSocketConnection* connection);
    void AnswerWhenShown(UnixSocketConnection* connection);
    bool Shown() const;
    void AnswerIfShown();
    void AnswerWaiting();

    void EndUse(UnixSocketConnection* connection);

    ViewerWindow& window_;
    ClientList& clients_;
    QSet<const UnixSocketConnection*> users_;
    QList<QPointer<UnixSocketConnection>> waiting_;
    // Answers anyway should the window never be shown and listed (an odd window manager).
    QTimer fallback_;
    bool watching_ = false;
};

} // namespace brelmont::viewer
