// SPDX-License-Identifier: MIT
#include "ui/CompanionWindows.h"

#include "base/Exception.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#ifndef BRELMONT_MODULES_FROM_PROGRAM
#error "the loader needs the installed modules' folder, seen from the program's"
#endif

namespace brelmont {

namespace {

// Beside the program in the build tree, in the package's own library folder once installed; never from a
// search path, so that no other file of that name is ever loaded in its place.
QString FindModule(const char* fileName) {
    const QString folder = QCoreApplication::applicationDirPath();
    const QLatin1StringView name(fileName);
    for (const QString& candidate :
         {folder + u'/' + name, folder + u'/' + QLatin1String(BRELMONT_MODULES_FROM_PROGRAM) + u'/' + name}) {
        if (QFileInfo(candidate).isFile()) {
            return QFileInfo(candidate).absoluteFilePath();
        }
    }
    return {};
}

} // namespace

QFunctionPointer LoadModuleEntry(const char* fileName, const char* entryName, const std::string& failure) {
    const QString path = FindModule(fileName);
    if (path.isEmpty()) {
        throw Exception(failure + ": не найден файл " + fileName);
    }
    auto* module = new QLibrary(path);
    const QFunctionPointer entry = module->resolve(entryName);
    if (entry == nullptr) {
        const std::string reason = module->errorString().toStdString();
        delete module;
        throw Exception(failure + ": " + reason);
    }
    return entry;
}

void PlaceBeside(QWidget& window, const QWidget& main) {
    const QRect screen = main.screen()->availableGeometry();
    // A window not yet shown has no frame; the window manager will give it one like the main window's.
    const QSize frame =
        (window.frameGeometry().size() - window.size()).expandedTo(main.frameGeometry().size() - main.size());
    window.resize(window.size().boundedTo(screen.size() - frame));
    QRect place(main.frameGeometry().topRight() + QPoint(8, 0), window.size() + frame);
    place.moveRight(std::min(place.right(), screen.right()));
    place.moveBottom(std::min(place.bottom(), screen.bottom()));
    place.moveTopLeft(QPoint(std::max(place.left(), screen.left()), std::max(place.top(), screen.top())));
    window.move(place.topLeft());
}

} // namespace brelmont
