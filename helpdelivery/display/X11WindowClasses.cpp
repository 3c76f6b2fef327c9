// SPDX-License-Identifier: MIT
#include "helpdelivery/display/X11WindowClasses.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <vector>

namespace brelmont {

namespace {

// A window may vanish between the listing and the question about it; that is not an error here.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

Display* SharedDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

std::vector<Window> TopLevelWindows(Display* display) {
    std::vector<Window> windows;
    const Window root = DefaultRootWindow(display);
    const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", True);
    if (clientList != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, root, clientList, 0, 65536, False, XA_WINDOW, &type, &format, &count,
                               &after, &data) == Success &&
            type == XA_WINDOW && format == 32 && data != nullptr) {
            const auto* list = reinterpret_cast<const unsigned long*>(data);
            windows.assign(list, list + count);
        }
        if (data != nullptr) {
            XFree(data);
        }
        if (!windows.empty()) {
            return windows;
        }
    }
    Window rootReturn = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) != 0 && children != nullptr) {
        windows.assign(children, children + count);
        XFree(children);
    }
    return windows;
}

} // namespace

void EnumX11TopLevelWindowClasses(const std::function<bool(std::string_view)>& visit) {
    Display* display = SharedDisplay();
    if (display == nullptr) {
        return;
    }
    auto* previous = XSetErrorHandler(IgnoreXError);
    for (Window window : TopLevelWindows(display)) {
        XClassHint hint{nullptr, nullptr};
        bool more = true;
        if (XGetClassHint(display, window, &hint) != 0) {
            if (hint.res_class != nullptr) {
                more = visit(hint.res_class);
            }
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        if (!more) {
            break;
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);
}

} // namespace brelmont
