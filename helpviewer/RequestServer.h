// SPDX-License-Identifier: MIT
// The viewer's side of the local socket: takes each request, lets the window carry it out, and answers once
// the window is on screen, so the program's activation that follows finds it. A quit is answered at once
// and ends the viewer.
#pragma once

#include "helpviewer/ViewerWindow.h"

#include <QList>
#include <QLocalServer>
#include <QPointer>
#include <QTimer>

class QLocalSocket;

namespace brelmont::viewer {

class RequestServer final : public QObject {
public:
    explicit RequestServer(ViewerWindow& window, QObject* parent = nullptr);
    bool Listen(const QString& name);
    QString ErrorString() const { return server_.errorString(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Accept();
    void Read(QLocalSocket* socket);
    void AnswerWhenShown(QLocalSocket* socket);
    void AnswerWaiting();

    ViewerWindow& window_;
    QLocalServer server_;
    QList<QPointer<QLocalSocket>> waiting_;
    // Answers anyway should the window never be exposed (no compositor frame, an odd window manager).
    QTimer fallback_;
    bool watching_ = false;
};

} // namespace brelmont::viewer
