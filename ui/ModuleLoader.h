// SPDX-License-Identifier: MIT
// The windows that accompany the main window (the risk chart, several bets) each live in a module with their
// heavy libraries, loaded the first time they are asked for. The loader finds a module beside the program
// (the build tree) or in the package's module folder (installed), never on a search path, and resolves the
// entry asked for. It needs no application object, so that the command line can load a module too.
#pragma once

#include <QFunctionPointer>
#include <string>

namespace brelmont {

// Loads `fileName` once per call site's need and returns its `entryName`. The module is never unloaded: its
// windows and their code live as long as the program. Raises Exception, starting with `failure` ("Не удалось
// открыть …"), when the file is missing or cannot be loaded.
QFunctionPointer LoadModuleEntry(const char* fileName, const char* entryName, const std::string& failure);

} // namespace brelmont
