// SPDX-License-Identifier: MIT
#include "ui/ToolkitTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace brelmont {

namespace {

constexpr const char* kInstalledName = "brelmont_toolkit_translation";

} // namespace

QString ToolkitTranslationFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool InstallToolkitTranslation() {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        return false;
    }
    // The translator lives as long as the application; finding it again keeps a second call from stacking
    // a second copy.
    if (application->findChild<QTranslator*>(QLatin1String(kInstalledName), Qt::FindDirectChildrenOnly) !=
        nullptr) {
        return true;
    }
    // Dates and sizes in the file dialog, and any number the toolkit formats on its own, read as Russian
    // does; the calculator's fields keep their own separator rule.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto* translator = new QTranslator(application);
    translator->setObjectName(QLatin1String(kInstalledName));
    if (!translator->load(QStringLiteral("qt_ru"), ToolkitTranslationFolder()) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace brelmont
