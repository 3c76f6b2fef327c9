// SPDX-License-Identifier: MIT
// Stands in for the platform's help viewer call: hands each request to the program's own viewer over a local
// socket, starting the viewer on the first request, and returns once the viewer has shown what was asked,
// so that the window activation that follows finds its window. Used by the Qt help system. The socket is a
// plain Unix one (see LocalSocket.h). The viewer is started as a process of its own, not this program's
// child, since other programs may go on using it after this one has ended.
#pragma once

#include "helpdelivery/display/HelpProtocol.h"

#include <QString>

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
    // After a quit: waits for the viewer this program started to end, ending it when it does not.
    void WaitForViewerExit();

    const QString& ServerName() const { return serverName_; }
    QString ViewerProgram() const;

private:
    bool Connected();
    void Disconnect();
    bool ConnectOnce();
    bool Connect(bool startViewer);
    bool StartViewer();
    void ForgetStartedViewer();
    QByteArray Exchange(const QByteArray& message);

    QString viewerProgram_;
    QString serverName_;
    int timeoutMs_;
    int socket_ = -1;
    // The viewer this program started, as a process file descriptor (immune to the reuse of its id), or -1.
    int startedViewer_ = -1;
    QByteArray incoming_;
    bool hung_ = false;
};

} // namespace brelmont
