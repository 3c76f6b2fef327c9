// SPDX-License-Identifier: MIT
#include "helpdelivery/display/HelpProtocol.h"

#include "helpdelivery/display/HelpSystem.h"

#include <QFileInfo>
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
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime + u'/' + name;
    }
    return name;
}

} // namespace brelmont::helpprotocol
