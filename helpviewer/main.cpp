// SPDX-License-Identifier: MIT
// brelmont-help: the help viewer that the program starts on its first help request. Usage:
//   brelmont-help [--server NAME] [HELPFILE]
// It serves requests on the local server NAME (by default the one of this user and display) and prints
// "ready" once it does. With a help file it opens that file's contents at once.
#include "helpdelivery/display/HelpProtocol.h"
#include "helpdelivery/display/HelpSystem.h"
#include "helpviewer/RequestServer.h"
#include "helpviewer/ViewerWindow.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(
        brelmont::kViewerWindowClass.data(), static_cast<qsizetype>(brelmont::kViewerWindowClass.size())));

    QString server;
    QString file;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--server") && i + 1 < args.size()) {
            server = args[++i];
        } else {
            file = args[i];
        }
    }
    if (server.isEmpty()) {
        server = brelmont::helpprotocol::DefaultServerName();
    }

    // One viewer per session: when one already answers there, it serves the requests.
    {
        QLocalSocket probe;
        probe.connectToServer(server);
        if (probe.waitForConnected(500)) {
            std::fputs(brelmont::helpprotocol::kReadyLine, stdout);
            std::fflush(stdout);
            return 0;
        }
    }
    QLocalServer::removeServer(server);

    brelmont::viewer::ViewerWindow window;
    brelmont::viewer::RequestServer requests(window);
    if (!requests.Listen(server)) {
        std::fprintf(stderr, "brelmont-help: %s\n", qPrintable(requests.ErrorString()));
        return 1;
    }
    std::fputs(brelmont::helpprotocol::kReadyLine, stdout);
    std::fflush(stdout);

    if (!file.isEmpty()) {
        brelmont::helpprotocol::Request open;
        open.command = brelmont::HELP_FORCEFILE;
        open.file = file;
        open.folder = QDir::currentPath();
        window.Handle(open);
    }
    return application.exec();
}
