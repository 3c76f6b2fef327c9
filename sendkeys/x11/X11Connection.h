// SPDX-License-Identifier: MIT
// The key platform's own connection to the X server: which extensions it has, the atoms it asks with, the key
// map it keeps current, and what it does to other programs' windows (read titles, activate, restore). Opened
// once per platform; while it is open, X errors on it are reported by the failing call instead of ending the
// program.
//
// Xlib's macros collide with the toolkit's names: include this after any Qt header.
#pragma once

#include "base/x11/X11WindowList.h"
#include "sendkeys/KeyPlatform.h"

#include <X11/Xlib.h>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace brelmont {

class X11Connection {
public:
    // nullptr when no display of that name (empty: DISPLAY) can be opened.
    static std::unique_ptr<X11Connection> Open(const std::string& displayName);

    explicit X11Connection(Display* opened);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    // Keeps the key map that the key lookups use current after another client changed it.
    void TakeMappingChanges();
    // The X key code of a virtual key; 0 when no key gives its symbol.
    unsigned KeycodeOf(unsigned key) const;
    // The key for a printable ASCII character (0x20 to 0x7E) in the current layout group, or NoKey.
    KeyCode PrintableKeyCode(unsigned char character);

    bool HasWindowManager() const { return windows.HasWindowManager(); }
    std::vector<Window> TopLevelWindows() const {
        return windows.TopLevelWindows(X11WindowList::Unmanaged::ViewableTopmostFirst);
    }
    // The window's title in UTF-8, from _NET_WM_NAME or else WM_NAME; empty when it has none.
    std::string Title(Window window) const;
    // Asks for the window to become the active one and returns once it has the focus, so that keys typed next
    // reach it.
    void Activate(Window window) const;
    // Maps an iconic window again and takes back a maximisation.
    void Restore(Window window) const;

    unsigned NumLockMask() const;
    unsigned LockedModifiers() const;

    Display* const display;
    const Window root;
    bool hasXTest = false;
    bool hasXkb = false;

private:
    Atom ActiveWindow() const { return atoms[0]; }
    Atom NetWmName() const { return atoms[1]; }
    Atom Utf8String() const { return atoms[2]; }
    Atom NetWmState() const { return atoms[3]; }
    Atom StateHidden() const { return atoms[4]; }
    Atom MaximizedVert() const { return atoms[5]; }
    Atom MaximizedHorz() const { return atoms[6]; }
    Atom WmState() const { return atoms[7]; }

    void BuildPrintableKeyCodes(unsigned group);
    bool Iconic(Window window) const;
    // Whether `outer` is `inner` or one of its ancestors below the root.
    bool Encloses(Window outer, Window inner) const;
    bool HasFocus(Window window) const;
    void AskActivation(Window window, bool awaitFocus) const;
    void SendToRoot(Window window, Atom type, std::array<long, 5> data) const;

    X11WindowList windows;
    std::array<Atom, 8> atoms{};
    std::array<KeyCode, 95> printable{};
    bool printableValid = false;
    unsigned printableGroup = 0;
};

} // namespace brelmont
