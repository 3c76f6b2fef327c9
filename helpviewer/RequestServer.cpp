// SPDX-License-Identifier: MIT
#include "helpviewer/RequestServer.h"

#include "helpdelivery/display/HelpSystem.h"

#include <QCoreApplication>
#include <QWindow>
#include <cstdio>

namespace brelmont::viewer {

namespace {

// Short of the program's ten seconds for an answer, and long enough for a window manager on a machine stalled
// by heavy disk or processor work: an answer before the window is managed sends the program's Enter
// elsewhere.
constexpr int kFallbackMs = 8000;

} // namespace

RequestServer::RequestServer(ViewerWindow& window, UnixSocketServer& server, ClientList& clients,
                             QObject* parent)
    : QObject(parent), window_(window), clients_(clients) {
    connect(&server, &UnixSocketServer::newConnection, this, &RequestServer::Accept);
    connect(&clients_, &ClientList::Changed, this, &RequestServer::AnswerIfShown);
    fallback_.setSingleShot(true);
    fallback_.setInterval(kFallbackMs);
    connect(&fallback_, &QTimer::timeout, this, [this] {
        // The program activates the window and types into it next: said, since without its window the keys
        // may go elsewhere.
        std::fprintf(stderr, "brelmont-help: the window was not shown within %d ms; answering anyway\n",
                     kFallbackMs);
        AnswerWaiting();
    });
}

void RequestServer::Accept(UnixSocketConnection* connection) {
    connect(connection, &UnixSocketConnection::readyRead, this, [this, connection] { Read(connection); });
    connect(connection, &UnixSocketConnection::disconnected, this,
            [this, connection] { EndUse(connection); });
}

void RequestServer::EndUse(UnixSocketConnection* connection) {
    if (users_.remove(connection) && users_.isEmpty()) {
        QCoreApplication::quit();
    }
}

void RequestServer::Read(UnixSocketConnection* socket) {
    QByteArray& buffer = socket->Incoming();
    while (socket->IsOpen()) {
        bool broken = false;
        auto message = helpprotocol::TakeMessage(buffer, broken);
        if (broken) {
            socket->Abort();
            return;
        }
        if (!message) {
            break;
        }
        auto request = helpprotocol::DecodeRequest(*message);
        if (!request) {
            socket->Abort();
            return;
        }
        if (request->command == helpprotocol::kQueryState) {
            socket->Write(helpprotocol::Frame(window_.StateJson()));
            continue;
        }
        if (request->command == HELP_QUIT) {
            users_.remove(socket);
            socket->Write(helpprotocol::Frame(helpprotocol::kShown));
            if (!users_.isEmpty()) {
                // The program waits for its connection to end before it goes; others still read the help.
                socket->CloseWhenSent();
                return;
            }
        }
        if (!window_.Handle(*request)) {
            QCoreApplication::quit();
            return;
        }
        users_.insert(socket);
        AnswerWhenShown(socket);
    }
}

bool RequestServer::Shown() const {
    const QWindow* handle = window_.windowHandle();
    return handle != nullptr && handle->isExposed() && clients_.Lists(handle->winId());
}

void RequestServer::AnswerIfShown() {
    if (!waiting_.isEmpty() && Shown()) {
        AnswerWaiting();
    }
}

void RequestServer::AnswerWhenShown(UnixSocketConnection* socket) {
    if (Shown()) {
        socket->Write(helpprotocol::Frame(helpprotocol::kShown));
        return;
    }
    QWindow* handle = window_.windowHandle();
    if (handle != nullptr && !watching_) {
        handle->installEventFilter(this);
        watching_ = true;
    }
    waiting_ << socket;
    fallback_.start();
}

bool RequestServer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && window_.windowHandle() == watched) {
        // Mapped and listed is what the program's activation needs; the first frame is painted while the
        // answer travels.
        AnswerIfShown();
    }
    return false;
}

void RequestServer::AnswerWaiting() {
    fallback_.stop();
    for (const auto& socket : std::as_const(waiting_)) {
        if (socket) {
            socket->Write(helpprotocol::Frame(helpprotocol::kShown));
        }
    }
    waiting_.clear();
}

} // namespace brelmont::viewer
