// SPDX-License-Identifier: MIT
#include "helpviewer/RequestServer.h"

#include "helpdelivery/display/HelpSystem.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QWindow>

namespace brelmont::viewer {

namespace {

constexpr int kFallbackMs = 3000;
const char* const kBufferProperty = "brelmontBuffer";

} // namespace

RequestServer::RequestServer(ViewerWindow& window, QObject* parent) : QObject(parent), window_(window) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &RequestServer::Accept);
    fallback_.setSingleShot(true);
    fallback_.setInterval(kFallbackMs);
    connect(&fallback_, &QTimer::timeout, this, &RequestServer::AnswerWaiting);
}

bool RequestServer::Listen(const QString& name) {
    return server_.listen(name);
}

void RequestServer::Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) {
            Read(socket);
        }
    }
}

void RequestServer::Read(QLocalSocket* socket) {
    QByteArray buffer = socket->property(kBufferProperty).toByteArray() + socket->readAll();
    for (;;) {
        bool broken = false;
        auto message = helpprotocol::TakeMessage(buffer, broken);
        if (broken) {
            socket->abort();
            return;
        }
        if (!message) {
            break;
        }
        auto request = helpprotocol::DecodeRequest(*message);
        if (!request) {
            socket->abort();
            return;
        }
        if (request->command == helpprotocol::kQueryState) {
            socket->write(helpprotocol::Frame(window_.StateJson()));
            continue;
        }
        if (!window_.Handle(*request)) {
            socket->write(helpprotocol::Frame(helpprotocol::kShown));
            socket->flush();
            QCoreApplication::quit();
            return;
        }
        AnswerWhenShown(socket);
    }
    socket->setProperty(kBufferProperty, buffer);
}

void RequestServer::AnswerWhenShown(QLocalSocket* socket) {
    QWindow* handle = window_.windowHandle();
    if (handle != nullptr && handle->isExposed()) {
        socket->write(helpprotocol::Frame(helpprotocol::kShown));
        return;
    }
    if (handle != nullptr && !watching_) {
        handle->installEventFilter(this);
        watching_ = true;
    }
    waiting_ << socket;
    fallback_.start();
}

bool RequestServer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && window_.windowHandle() == watched &&
        window_.windowHandle()->isExposed()) {
        // Mapped is what the program's activation needs; the first frame is painted while the answer travels.
        AnswerWaiting();
    }
    return false;
}

void RequestServer::AnswerWaiting() {
    fallback_.stop();
    for (const auto& socket : std::as_const(waiting_)) {
        if (socket) {
            socket->write(helpprotocol::Frame(helpprotocol::kShown));
        }
    }
    waiting_.clear();
}

} // namespace brelmont::viewer
