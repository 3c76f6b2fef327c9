// SPDX-License-Identifier: MIT
#include "helpdelivery/display/WinHelpBridge.h"

#include "helpdelivery/display/HelpSystem.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>

namespace brelmont {

WinHelpBridge::WinHelpBridge(QString viewerProgram, QString serverName, int timeoutMs)
    : viewerProgram_(std::move(viewerProgram)),
      serverName_(serverName.isEmpty() ? helpprotocol::DefaultServerName() : std::move(serverName)),
      timeoutMs_(timeoutMs) {}

WinHelpBridge::~WinHelpBridge() {
    socket_.abort();
}

QString WinHelpBridge::ViewerProgram() const {
    if (!viewerProgram_.isEmpty()) {
        return viewerProgram_;
    }
    const QLatin1StringView name(kViewerWindowClass.data(),
                                 static_cast<qsizetype>(kViewerWindowClass.size()));
    const QString beside = QCoreApplication::applicationDirPath() + u'/' + name;
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QStandardPaths::findExecutable(name);
}

bool WinHelpBridge::StartViewer() {
    const QString program = ViewerProgram();
    if (program.isEmpty()) {
        return false;
    }
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start(program, {QStringLiteral("--server"), serverName_});
    if (!process_->waitForStarted(timeoutMs_)) {
        process_.reset();
        return false;
    }
    // The viewer says when it listens; waiting on its output needs no polling.
    QDeadlineTimer deadline(timeoutMs_);
    QByteArray said;
    while (!said.contains('\n')) {
        if (!process_->waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return false;
        }
        said += process_->readAllStandardOutput();
    }
    return said.startsWith(helpprotocol::kReadyLine);
}

bool WinHelpBridge::Connect(bool startViewer) {
    if (socket_.state() == QLocalSocket::ConnectedState) {
        return true;
    }
    socket_.abort();
    incoming_.clear();
    socket_.connectToServer(serverName_);
    if (socket_.waitForConnected(timeoutMs_)) {
        return true;
    }
    if (!startViewer || !StartViewer()) {
        return false;
    }
    socket_.connectToServer(serverName_);
    return socket_.waitForConnected(timeoutMs_);
}

QByteArray WinHelpBridge::Exchange(const QByteArray& message) {
    socket_.write(message);
    if (!socket_.waitForBytesWritten(timeoutMs_) && socket_.bytesToWrite() > 0) {
        return {};
    }
    QDeadlineTimer deadline(timeoutMs_);
    for (;;) {
        bool broken = false;
        if (auto reply = helpprotocol::TakeMessage(incoming_, broken)) {
            return *reply;
        }
        if (broken || socket_.state() != QLocalSocket::ConnectedState) {
            return {};
        }
        if (!socket_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            if (deadline.hasExpired()) {
                hung_ = true;
            }
            return {};
        }
        incoming_ += socket_.readAll();
    }
}

QByteArray WinHelpBridge::Send(const helpprotocol::Request& request) {
    const bool quit = request.command == HELP_QUIT;
    const QByteArray message = helpprotocol::EncodeRequest(request);
    // A viewer that the user has closed leaves a dead connection behind; the second round starts a new one.
    for (int round = 0; round < 2; ++round) {
        if (quit && socket_.state() != QLocalSocket::ConnectedState) {
            return {};
        }
        if (!Connect(!quit)) {
            return {};
        }
        hung_ = false;
        QByteArray reply = Exchange(message);
        if (!reply.isEmpty() || hung_ || quit) {
            if (quit) {
                // The viewer drops the connection as it ends; the program's own child is waited for too.
                if (socket_.state() == QLocalSocket::ConnectedState) {
                    socket_.waitForDisconnected(timeoutMs_);
                }
                socket_.abort();
                if (process_) {
                    process_->waitForFinished(timeoutMs_);
                }
            }
            return reply;
        }
        socket_.abort();
    }
    return {};
}

void WinHelpBridge::WaitForViewerExit() {
    if (process_ && !process_->waitForFinished(1000)) {
        process_->kill();
        process_->waitForFinished(1000);
    }
    process_.reset();
    socket_.abort();
    hung_ = false;
}

} // namespace brelmont
