// SPDX-License-Identifier: MIT
#include "helpdelivery/display/X11WindowClasses.h"

#include "base/x11/X11WindowList.h"

#include <X11/Xutil.h>

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

} // namespace

void EnumX11TopLevelWindowClasses(const std::function<bool(std::string_view)>& visit) {
    Display* display = SharedDisplay();
    if (display == nullptr) {
        return;
    }
    auto* previous = XSetErrorHandler(IgnoreXError);
    // A hidden window of the viewer counts as much as a shown one.
    static const X11WindowList list(display);
    for (Window window : list.TopLevelWindows(X11WindowList::Unmanaged::AllChildren)) {
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
