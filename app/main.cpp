// SPDX-License-Identifier: MIT
// The program's start and end: the command line (which may answer without any window), the floating-point
// environment and decimal separator, the application, the main window (whose creation unpacks the help), the
// hidden About box and spare dialog, then the event loop until the main window closes.
#include "CommandLine.h"
#include "SignalClose.h"
#include "base/x11/DisplayCheck.h"
#include "helpdelivery/WorkFolder.h"
#include "helpdelivery/display/HelpSystemQt.h"
#include "sendkeys/SendKeys.h"
#include "sendkeys/x11/X11KeyPlatform.h"
#include "stakecalc/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/FileFolders.h"
#include "ui/Fonts.h"
#include "ui/LinkOpener.h"
#include "ui/Mainf.h"
#include "ui/ToolkitTranslation.h"
#include "ui/aboutf.h"
#include "ui/several/SeveralBetsOpener.h"
#include "ui/widgets/Accessible.h"

#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <optional>
#include <string>
#include <thread>

namespace {

// Typing keys into the help viewer needs X11, so a Wayland session runs the program through XWayland.
void PreferX11() {
    if (std::getenv("WAYLAND_DISPLAY") != nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr &&
        std::getenv("DISPLAY") != nullptr) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace brelmont;
    // Options that need no window are done before anything connects to a display.
    if (const std::optional<int> status = RunCommandLine(argc, argv)) {
        return *status;
    }
    PreferX11();
    if (const std::optional<std::string> problem = DisplayProblem(argc, argv)) {
        std::fprintf(stderr, "Brelmont: %s\n", problem->c_str());
        return 1;
    }
    // Reading the font configuration takes as long as connecting to the display; do both at once.
    std::thread fontConfiguration([] { FcInit(); });
    InitFloatEnvironment();
    RefreshDecimalSeparator();

    QApplication app(argc, argv);
    // Before any window exists, so that every text the toolkit draws is Russian from the first and every
    // field answers Shift+F10.
    InstallToolkitTranslation();
    InstallContextMenuKey();
    fontConfiguration.join();
    SetApplicationTitle(ApplicationTitleFor(QCoreApplication::applicationFilePath().toStdString()));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/brelmont.png")));
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(BRELMONT_APP_ID));
    InstallFontSubstitutes();
    // The program ends when the main window closes, whatever else is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    InstallAccessibleControls();
    DesktopLinkOpener links;
    SetUrlOpener(&links);

    X11KeyPlatform keys;
    SetKeyPlatform(&keys);
    InstallHelpSystem({.WorkFolder = [] { return WorkFolder(); },
                       .ActivateWindow = ActivateWindow,
                       .SendKeys = SendKeys,
                       .ViewerProgram = {},
                       .ServerName = {},
                       .Platform = {}});

    SignalClose signalClose;
    TMain Main;
    // No file dialog may put a file where the program removes everything at exit.
    ProtectFolder(QString::fromStdString(WorkFolder()));
    SetMainHelpWindow(&Main);
    signalClose.SetTarget(&Main);
    QObject::connect(&Main, &TMain::Closed, &app, [] { QCoreApplication::exit(0); });

    TAbout About;
    Main.SetAbout(&About);
    // A second dialog that no command shows; it only exists, hidden, like the About box.
    QDialog Dialog2;
    Dialog2.setObjectName(QStringLiteral("Dialog2"));

    CentreOnScreen(Main);
    Main.show();
    if (OpensSeveralBets(argc, argv)) {
        Main.SeveralBets().OpenOnceActive();
    }
    const int exitCode = QApplication::exec();
    // The work folder is gone by now (the main window's close handler); the viewer is told to quit last.
    ShutdownHelpSystem();
    SetKeyPlatform(nullptr);
    SetUrlOpener(nullptr);
    return exitCode;
}
