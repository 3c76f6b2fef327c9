// SPDX-License-Identifier: MIT
#include "helpdelivery/display/HelpProtocol.h"

#include "helpdelivery/WorkFolder.h"
#include "helpdelivery/display/HelpSystem.h"

#include <QFile>
#include <unistd.h>

namespace brelmont::helpprotocol {

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
    return QFile::decodeName(QByteArray::fromStdString(base)) + u'/' + name;
}

} // namespace brelmont::helpprotocol
