// SPDX-License-Identifier: MIT
// Opening the windows' links so that a failure is seen. The desktop's own opener starts xdg-open and reports
// success as soon as it has started, even when xdg-open then finds no browser or mail program and gives up;
// the user clicks and nothing happens. This opener watches the launcher: when it cannot be started, or ends
// at once with an error, the user gets a message with the address, selectable so it can be copied into a
// browser by hand. The start-up installs one for every URL label (SetUrlOpener).
#pragma once

#include "ui/widgets/UrlLabel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace brelmont {

// The message for an address nothing on the desktop would open.
QString LinkFailureText();

// An address as a person writes it: a mail address without its "mailto:" (in any letter case), its "?"
// fields or its %-escapes; any other address unchanged.
QString AddressAsWritten(const QString& address);

// A modal message captioned with the application title: the failure text and, below it, the address as a
// person writes it, in a read-only field with the text selected, so Ctrl+C copies it. One "OK" closes it.
void ShowLinkFailure(const QString& address);

class DesktopLinkOpener final : public QObject, public IUrlOpener {
public:
    using FailureHandler = std::function<void(const QString& address)>;

    // `launcher` is the program that hands an address to the desktop, run with the address as its last
    // argument after `arguments`; an empty one means xdg-open found on PATH.
    explicit DesktopLinkOpener(FailureHandler onFailure = ShowLinkFailure, QString launcher = {},
                               QStringList arguments = {});

    // True when the launcher started; a failure found later goes to the failure handler.
    bool Open(const QString& address) override;

    // A launcher that ends with an error later than this was a browser run in its place that has since
    // exited: not a failure to open the address.
    static constexpr int kQuickFailureMs = 10000;

private:
    FailureHandler fOnFailure;
    QString fLauncher;
    QStringList fArguments;
};

} // namespace brelmont
