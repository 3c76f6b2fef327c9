// SPDX-License-Identifier: MIT
#include "helpviewer/ClientList.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <algorithm>

// After the toolkit's headers: Xlib's macros clash with their names.
#include "base/x11/X11WindowList.h"

namespace brelmont::viewer {

ClientList::ClientList(QObject* parent) : QObject(parent) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return;
    }
    clientListAtom_ = XInternAtom(display_, "_NET_CLIENT_LIST", False);
    XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask);
    XFlush(display_);
    notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ClientList::ReadEvents);
    lists_ = [this](WId window) {
        const X11WindowList list(display_);
        if (!list.HasWindowManager()) {
            return true;
        }
        const auto clients = list.TopLevelWindows(X11WindowList::Unmanaged::AllChildren);
        // The round trips may have read a later change into the queue, where the notifier never sees it.
        if (XEventsQueued(display_, QueuedAlready) > 0) {
            QMetaObject::invokeMethod(this, &ClientList::ReadEvents, Qt::QueuedConnection);
        }
        // A manager that keeps no list (the program's own window would be in one) has nothing to wait for.
        return clients.empty() ||
               std::find(clients.begin(), clients.end(), static_cast<Window>(window)) != clients.end();
    };
}

ClientList::ClientList(std::function<bool(WId)> lists, QObject* parent)
    : QObject(parent), lists_(std::move(lists)) {}

ClientList::~ClientList() {
    if (display_ != nullptr) {
        delete notifier_;
        XCloseDisplay(display_);
    }
}

bool ClientList::Lists(WId window) const {
    return !lists_ || lists_(window);
}

void ClientList::ReadEvents() {
    bool changed = false;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        changed = changed || (event.type == PropertyNotify && event.xproperty.atom == clientListAtom_);
    }
    if (changed) {
        emit Changed();
    }
}

} // namespace brelmont::viewer
