// SPDX-License-Identifier: MIT
// Reads the context menu a test opens: the entries' texts without their accelerator marks and the shortcuts
// after a tab, or nothing when no menu opened. The menu is closed again at once, from a zero-interval timer
// while its own loop runs.
#pragma once

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace brelmont::testing {

inline QStringList ContextMenuEntries(const std::function<void()>& open) {
    QStringList entries;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&entries] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                entries << action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
            }
        }
        menu->close();
    });
    timer.start();
    open();
    QApplication::processEvents();
    return entries;
}

// True when `text` holds a Latin letter: an English word left among the Russian ones.
inline bool HasLatinLetter(const QString& text) {
    for (const QChar c : text) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) {
            return true;
        }
    }
    return false;
}

} // namespace brelmont::testing
