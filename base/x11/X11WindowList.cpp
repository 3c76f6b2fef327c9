// SPDX-License-Identifier: MIT
#include "base/x11/X11WindowList.h"

#include <X11/Xatom.h>

namespace brelmont {

std::vector<unsigned long> LongProperty(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items.assign(values, values + count);
        }
        XFree(data);
    }
    return items;
}

X11WindowList::X11WindowList(Display* display)
    : display_(display), root_(DefaultRootWindow(display)),
      supportingWmCheck_(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)),
      clientList_(XInternAtom(display, "_NET_CLIENT_LIST", False)) {}

bool X11WindowList::HasWindowManager() const {
    const auto check = LongProperty(display_, root_, supportingWmCheck_, XA_WINDOW);
    if (check.empty()) {
        return false;
    }
    const auto self = LongProperty(display_, check[0], supportingWmCheck_, XA_WINDOW);
    return !self.empty() && self[0] == check[0];
}

std::vector<Window> X11WindowList::TopLevelWindows(Unmanaged unmanaged) const {
    if (HasWindowManager()) {
        const auto clients = LongProperty(display_, root_, clientList_, XA_WINDOW);
        return {clients.begin(), clients.end()};
    }
    return RootChildren(unmanaged);
}

std::vector<Window> X11WindowList::RootChildren(Unmanaged unmanaged) const {
    std::vector<Window> windows;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, root_, &rootReturn, &parent, &children, &count) == 0) {
        return windows;
    }
    if (unmanaged == Unmanaged::AllChildren) {
        windows.assign(children, children + count);
    } else {
        // The tree lists from the bottom of the stack.
        for (unsigned i = count; i-- > 0;) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable && attributes.c_class == InputOutput &&
                attributes.override_redirect == False) {
                windows.push_back(children[i]);
            }
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return windows;
}

} // namespace brelmont
