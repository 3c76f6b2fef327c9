// SPDX-License-Identifier: MIT
// brelmont-help: the help viewer that the program starts on its first help request. Usage:
//   brelmont-help [--server NAME] [HELPFILE]
// It serves requests on the local server NAME (by default the one of this user and display) and prints
// "ready" once it does. With a help file it opens that file's contents at once.
#include "base/x11/DisplayCheck.h"
#include "helpdelivery/display/HelpProtocol.h"
#include "helpdelivery/display/HelpSystem.h"
#include "helpviewer/ClientList.h"
#include "helpviewer/RequestServer.h"
#include "helpviewer/UnixSocketServer.h"
#include "helpviewer/ViewerWindow.h"
#include "ui/Dialogs.h"
#include "ui/ToolkitTranslation.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <optional>
#include <string>

int main(int argc, char** argv) {
    if (const std::optional<std::string> problem = brelmont::DisplayProblem(argc, argv)) {
        std::fprintf(stderr, "brelmont-help: %s\n", problem->c_str());
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(
        brelmont::kViewerWindowClass.data(), static_cast<qsizetype>(brelmont::kViewerWindowClass.size())));
    // Qt's own words in Russian whatever the session's language, and Shift+F10 for menus, as in the program.
    brelmont::InstallToolkitTranslation();
    brelmont::InstallContextMenuKey();

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
    brelmont::viewer::UnixSocketServer socket;
    switch (socket.Listen(server)) {
    case brelmont::viewer::UnixSocketServer::ListenResult::Listening:
        break;
    case brelmont::viewer::UnixSocketServer::ListenResult::AlreadyServed:
        std::fputs(brelmont::helpprotocol::kReadyLine, stdout);
        std::fflush(stdout);
        return 0;
    case brelmont::viewer::UnixSocketServer::ListenResult::Failed:
        std::fprintf(stderr, "brelmont-help: %s\n", qPrintable(socket.ErrorString()));
        return 1;
    }

    brelmont::viewer::ViewerWindow window;
    brelmont::viewer::ClientList clients;
    brelmont::viewer::RequestServer requests(window, socket, clients);
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
