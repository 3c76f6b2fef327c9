// SPDX-License-Identifier: MIT
#include "sendkeys/x11/tests/XObserver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace brelmont {

Observer::Observer() : display_(XOpenDisplay(nullptr)) {}

Observer::~Observer() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

std::uintptr_t Observer::Focus() const {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus;
}

std::uintptr_t Observer::ActiveWindow() const {
    const Atom active = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    Window window = 0;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_), active, 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &remaining, &data) == Success &&
        data != nullptr) {
        if (count == 1) {
            window = *reinterpret_cast<unsigned long*>(data);
        }
        XFree(data);
    }
    return window;
}

bool Observer::HasState(std::uintptr_t window, const char* state) const {
    const Atom netWmState = XInternAtom(display_, "_NET_WM_STATE", False);
    const Atom wanted = XInternAtom(display_, state, False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display_, window, netWmState, 0, 64, False, XA_ATOM, &type, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            found = found || atoms[i] == wanted;
        }
        XFree(data);
    }
    return found;
}

bool Observer::Minimised(std::uintptr_t window) const {
    const Atom wmState = XInternAtom(display_, "WM_STATE", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool iconic = false;
    if (XGetWindowProperty(display_, window, wmState, 0, 2, False, wmState, &type, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        iconic = count > 0 && *reinterpret_cast<const unsigned long*>(data) == IconicState;
        XFree(data);
    }
    return iconic || HasState(window, "_NET_WM_STATE_HIDDEN");
}

bool Observer::Maximised(std::uintptr_t window) const {
    return HasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") &&
           HasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
}

int Observer::KeysDown() const {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    int down = 0;
    for (char byte : keys) {
        for (int bit = 0; bit < 8; ++bit) {
            down += (byte >> bit) & 1;
        }
    }
    return down;
}

} // namespace brelmont
