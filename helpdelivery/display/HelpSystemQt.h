// SPDX-License-Identifier: MIT
// The program's help system on Qt: the viewer binding talking to the program's own help viewer
// ("brelmont-help"), F1 in every window, and the Help button's ShowHelp. The start-up code calls
// InstallHelpSystem once after the application object exists and SetMainHelpWindow for the main window;
// the Help button's handler calls ShowHelp(). The quit request to the viewer goes out when the application
// object is destroyed (the program's final clean-up), or earlier through ShutdownHelpSystem; either way
// exactly once.
//
//     QApplication application(argc, argv);
//     brelmont::InstallHelpSystem({.WorkFolder = [] { return brelmont::WorkFolder(); },
//                                  .ActivateWindow = brelmont::ActivateWindow,
//                                  .SendKeys = brelmont::SendKeys});
//     TMain main;
//     brelmont::SetMainHelpWindow(&main);      // "help.hlp", keyword-type help, keyword "help.hlp"
//     ...                                      // ImageBtn6Click calls brelmont::ShowHelp()
//     return application.exec();
#pragma once

#include "helpdelivery/display/HelpSystem.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace brelmont {

struct HelpSystemOptions {
    // The folder the help files were unpacked into.
    std::function<std::string()> WorkFolder;
    std::function<bool(std::string_view title)> ActivateWindow;
    std::function<bool(std::string_view keys, bool Wait)> SendKeys;
    // Empty: "brelmont-help" next to the program, then on PATH.
    QString ViewerProgram;
    // Empty: one viewer per user and display.
    QString ServerName;
    // Replaces the real viewer and window search (tests only).
    std::shared_ptr<IHelpViewerPlatform> Platform;
};

// Creates the help manager and registers the viewer binding; installs the F1 handling for all windows.
// Does nothing while a help system is installed and not shut down.
void InstallHelpSystem(HelpSystemOptions options);
// The help settings of a window or control; a widget that was never given any has no help.
HelpSettings& WidgetHelp(QWidget* widget);
// Gives the main window its stored help settings and makes it the window ShowHelp points at the help file.
void SetMainHelpWindow(QWidget* window);
// The Help button.
void ShowHelp();
// The application's help requests (the settings ShowHelp writes are its Help member).
THelpApplication& HelpApplication();
// Tells the viewer to quit and takes the F1 handling away. Only the first call does anything.
void ShutdownHelpSystem();

} // namespace brelmont
