// SPDX-License-Identifier: MIT
// The other programs' top-level windows on an X display, in one place for the help display (which looks for
// the viewer by its class) and for key sending (which looks for a window by its title): whether an EWMH
// window manager runs, its list of managed windows, and the root window's children when none runs.
//
// Xlib's macros (None, Bool, KeyPress, ...) collide with the toolkit's names: include this after any Qt
// header.
#pragma once

#include <X11/Xlib.h>
#include <vector>

namespace brelmont {

// The items of a property of 32-bit format, which Xlib hands over as longs; empty when the window or the
// property is missing or has another format.
std::vector<unsigned long> LongProperty(Display* display, Window window, Atom property, Atom type);

class X11WindowList {
public:
    // Without a window manager the root's children are the top-level windows: either all of them, as the
    // server lists them, or only those a user can see and type into, topmost first.
    enum class Unmanaged { AllChildren, ViewableTopmostFirst };

    explicit X11WindowList(Display* display);

    // True when a window manager announces itself on the root window and its check window confirms it, so a
    // list left behind by one that has ended is not taken for a live one.
    bool HasWindowManager() const;
    std::vector<Window> TopLevelWindows(Unmanaged unmanaged) const;

private:
    std::vector<Window> RootChildren(Unmanaged unmanaged) const;

    Display* display_ = nullptr;
    Window root_ = 0;
    Atom supportingWmCheck_ = 0;
    Atom clientList_ = 0;
};

} // namespace brelmont
