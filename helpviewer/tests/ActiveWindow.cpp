// SPDX-License-Identifier: MIT
#include "ActiveWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace brelmont::testing {

ActiveWindow Active() {
    static Display* display = XOpenDisplay(nullptr);
    ActiveWindow out;
    if (display == nullptr) {
        return out;
    }
    const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), active, 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) != Success ||
        data == nullptr || count == 0) {
        return out;
    }
    const Window window = *reinterpret_cast<unsigned long*>(data);
    XFree(data);
    XClassHint hint{nullptr, nullptr};
    if (window != None && XGetClassHint(display, window, &hint) != 0) {
        out.windowClass = hint.res_class != nullptr ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    data = nullptr;
    if (window != None &&
        XGetWindowProperty(display, window, name, 0, 256, False, utf8, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        out.title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return out;
}

} // namespace brelmont::testing
