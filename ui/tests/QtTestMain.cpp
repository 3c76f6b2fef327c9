// SPDX-License-Identifier: MIT
// GoogleTest entry for the window tests: one QApplication for the whole run, with the program's fonts, Qt's
// Russian texts and Shift+F10, as the program starts.
#include "ui/Dialogs.h"
#include "ui/Fonts.h"
#include "ui/ToolkitTranslation.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Listing the tests happens outside CTest's environment, and needs no screen either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    brelmont::SetApplicationTitle("Brelmont");
    brelmont::InstallFontSubstitutes();
    brelmont::InstallToolkitTranslation();
    brelmont::InstallContextMenuKey();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
