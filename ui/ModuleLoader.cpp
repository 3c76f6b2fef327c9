// SPDX-License-Identifier: MIT
#include "ui/ModuleLoader.h"

#include "base/Exception.h"
#include "helpdelivery/HelpArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#ifndef BRELMONT_MODULES_FROM_PROGRAM
#error "the loader needs the installed modules' folder, seen from the program's"
#endif

namespace brelmont {

namespace {

// Beside the program in the build tree, in the package's own library folder once installed; never from a
// search path, so that no other file of that name is ever loaded in its place. The program's folder comes
// from the kernel, not the application object: the command line loads a module before any exists.
QString FindModule(const char* fileName) {
    const QString folder = QFileInfo(QFile::decodeName(ExecutablePath().c_str())).absolutePath();
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

} // namespace brelmont
