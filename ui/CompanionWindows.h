// SPDX-License-Identifier: MIT
// The windows that accompany the main window (the risk chart, several bets): each lives in a module with its
// heavy libraries, loaded the first time it is asked for, and opens beside the main window. The loader finds
// a module beside the program (the build tree) or in the package's module folder (installed), never on a
// search path, and resolves its one entry.
#pragma once

#include <QFunctionPointer>
#include <string>

class QWidget;

namespace brelmont {

// Loads `fileName` once per call site's need and returns its `entryName`. The module is never unloaded: its
// windows and their code live as long as the program. Raises Exception, starting with `failure` ("Не удалось
// открыть …"), when the file is missing or cannot be loaded.
QFunctionPointer LoadModuleEntry(const char* fileName, const char* entryName, const std::string& failure);

// Moves `window` beside `main` where the screen has room, else as far right as it fits, shrinking it to the
// screen when it is larger.
void PlaceBeside(QWidget& window, const QWidget& main);

} // namespace brelmont
