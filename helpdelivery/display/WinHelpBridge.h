// SPDX-License-Identifier: MIT
// Stands in for the platform's help viewer call: hands each request to the program's own viewer over a local
// socket, starting the viewer on the first request, and returns once the viewer has shown what was asked,
// so that the window activation that follows finds its window. Used by the Qt help system. The socket is a
// plain Unix one (see LocalSocket.h).
#pragma once

#include "helpdelivery/display/HelpProtocol.h"

#include <QProcess>
#include <QString>
#include <memory>

namespace brelmont {

class WinHelpBridge {
public:
    // `viewerProgram` empty: "brelmont-help" next to this executable, then on PATH. `serverName` empty: the
    // one per user and display.
    WinHelpBridge(QString viewerProgram, QString serverName, int timeoutMs = 10000);
    ~WinHelpBridge();
    WinHelpBridge(const WinHelpBridge&) = delete;
    WinHelpBridge& operator=(const WinHelpBridge&) = delete;

    // Sends one viewer call and waits for the viewer's answer. A quit goes only to a viewer this program
    // has talked to, and never starts one. Returns the answer, empty when there was none.
    QByteArray Send(const helpprotocol::Request& request);

    // A viewer that took a request and never answered is hung.
    bool ViewerHung() const { return hung_; }
    // After a quit: waits for a viewer this program started to end, ending it when it does not.
    void WaitForViewerExit();

    const QString& ServerName() const { return serverName_; }
    QString ViewerProgram() const;

private:
    bool Connected();
    void Disconnect();
    bool ConnectOnce();
    bool Connect(bool startViewer);
    bool StartViewer();
    QByteArray Exchange(const QByteArray& message);

    QString viewerProgram_;
    QString serverName_;
    int timeoutMs_;
    int socket_ = -1;
    std::unique_ptr<QProcess> process_;
    QByteArray incoming_;
    bool hung_ = false;
};

} // namespace brelmont
