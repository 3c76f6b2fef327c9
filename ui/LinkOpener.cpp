// SPDX-License-Identifier: MIT
#include "ui/LinkOpener.h"

#include "ui/Dialogs.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace brelmont {

QString LinkFailureText() {
    return QStringLiteral("Не удалось открыть адрес: в системе не нашлось программы, которая его откроет "
                          "(браузера или почтовой программы). Скопируйте адрес и откройте его вручную:");
}

QString AddressAsWritten(const QString& address) {
    const QLatin1String scheme("mailto:");
    if (!address.startsWith(scheme, Qt::CaseInsensitive)) {
        return address;
    }
    const QString mailbox = address.mid(scheme.size()).section(QLatin1Char('?'), 0, 0);
    return QUrl::fromPercentEncoding(mailbox.toUtf8());
}

void ShowLinkFailure(const QString& link) {
    const QString address = AddressAsWritten(link);
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("LinkFailure"));
    auto* text = new QLabel(LinkFailureText(), &dialog);
    text->setObjectName(QStringLiteral("MessageText"));
    text->setWordWrap(true);
    text->setMinimumWidth(360);
    auto* field = new QLineEdit(address, &dialog);
    field->setObjectName(QStringLiteral("Address"));
    field->setReadOnly(true);
    field->setAccessibleName(QStringLiteral("Адрес"));
    field->setMinimumWidth(std::min(600, field->fontMetrics().horizontalAdvance(address) + 24));
    BuildMessageDialog(dialog, {text, field});
    field->setFocus();
    field->selectAll();
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
}

DesktopLinkOpener::DesktopLinkOpener(FailureHandler onFailure, QString launcher, QStringList arguments)
    : fOnFailure(std::move(onFailure)), fLauncher(std::move(launcher)), fArguments(std::move(arguments)) {}

bool DesktopLinkOpener::Open(const QString& address) {
    const QString program =
        fLauncher.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-open")) : fLauncher;
    // Reported once the click has finished, so a label whose handler closed its window is left alone.
    const auto fail = [this, address] {
        QTimer::singleShot(0, this, [this, address] {
            if (fOnFailure) {
                fOnFailure(address);
            }
        });
    };
    if (program.isEmpty()) {
        fail();
        return false;
    }
    // The process object is never given a parent and is not deleted while the launcher runs: deleting a
    // running QProcess kills it, and the browser it starts must outlive the program.
    auto* launcher = new QProcess;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(launcher, &QProcess::finished, this,
                     [launcher, started, fail](int exitCode, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || exitCode != 0) &&
                             started->elapsed() < kQuickFailureMs) {
                             fail();
                         }
                         launcher->deleteLater();
                     });
    launcher->setProcessChannelMode(QProcess::ForwardedChannels);
    launcher->setStandardInputFile(QProcess::nullDevice());
    launcher->start(program, QStringList(fArguments) << address);
    if (!launcher->waitForStarted()) {
        delete launcher;
        fail();
        return false;
    }
    return true;
}

} // namespace brelmont
