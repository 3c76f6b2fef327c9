// SPDX-License-Identifier: MIT
#include "helpdelivery/display/HelpProtocol.h"

#include "helpdelivery/WorkFolder.h"
#include "helpdelivery/display/HelpSystem.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::helpprotocol {

namespace {

constexpr int kSpareNames = 8;

} // namespace

QString DefaultServerName() {
    QString name =
        QLatin1StringView(kViewerWindowClass.data(), static_cast<qsizetype>(kViewerWindowClass.size())) +
        QStringLiteral("-%1").arg(getuid());
    QString display = qEnvironmentVariable("DISPLAY");
    for (auto& c : display) {
        if (!c.isLetterOrNumber() && c != u'.') {
            c = u'_';
        }
    }
    if (!display.isEmpty()) {
        name += u'-' + display;
    }
    // The work folder's private base: a socket there cannot be taken by another user first.
    const std::string base = BaseFolder();
    if (base.empty()) {
        return {};
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(base)) + u'/' + name;
    // Something that is no socket where the socket belongs would keep every viewer out; every program passes
    // it over by the same rule, so they still meet.
    for (int spare = 0; spare < kSpareNames; ++spare) {
        const QString candidate = spare == 0 ? path : path + QStringLiteral(".%1").arg(spare);
        struct stat found {};
        if (lstat(QFile::encodeName(candidate).constData(), &found) != 0 || S_ISSOCK(found.st_mode)) {
            return candidate;
        }
    }
    return path;
}

} // namespace brelmont::helpprotocol
