// SPDX-License-Identifier: MIT
#include "sendkeys/x11/X11Connection.h"

#include "sendkeys/x11/X11Keysyms.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <chrono>
#include <poll.h>

namespace brelmont {

namespace {

constexpr long NetWmStateRemove = 0;
// Window managers honour activation asked by a pager without focus-stealing checks.
constexpr long SourcePager = 2;
// How long an activation may take the window manager before keys are typed regardless. A loaded desktop
// answers within a few hundred milliseconds, one stalled by heavy disk work can take seconds; the wait ends
// as soon as the focus arrives, so only a manager that declines costs the whole of it.
constexpr std::chrono::milliseconds ActivationTimeout{5000};

// Requests on our connection may name windows that vanish meanwhile. The default handler would end the
// program; this one lets the failing call report its failure instead, and leaves other connections' errors to
// whoever handled them before.
Display* quietDisplay = nullptr;
XErrorHandler previousHandler = nullptr;

int QuietErrorHandler(Display* display, XErrorEvent* error) {
    if (display == quietDisplay || previousHandler == nullptr) {
        return 0;
    }
    return previousHandler(display, error);
}

std::string Latin1ToUtf8(const unsigned char* text, std::size_t length) {
    std::string result;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return result;
}

} // namespace

std::unique_ptr<X11Connection> X11Connection::Open(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    auto connection = std::make_unique<X11Connection>(display);
    if (quietDisplay == nullptr) {
        quietDisplay = display;
        previousHandler = XSetErrorHandler(QuietErrorHandler);
    }
    return connection;
}

X11Connection::X11Connection(Display* opened)
    : display(opened), root(DefaultRootWindow(opened)), windows(opened) {
    int event = 0, error = 0, major = 0, minor = 0;
    hasXTest = XTestQueryExtension(display, &event, &error, &major, &minor) != False;
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    hasXkb = XkbQueryExtension(display, &opcode, &event, &error, &major, &minor) != False;
    const char* names[] = {"_NET_ACTIVE_WINDOW",
                           "_NET_WM_NAME",
                           "UTF8_STRING",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_HIDDEN",
                           "_NET_WM_STATE_MAXIMIZED_VERT",
                           "_NET_WM_STATE_MAXIMIZED_HORZ",
                           "WM_STATE"};
    XInternAtoms(display, const_cast<char**>(names), static_cast<int>(std::size(names)), False, atoms.data());
}

X11Connection::~X11Connection() {
    if (quietDisplay == display) {
        XSetErrorHandler(previousHandler);
        quietDisplay = nullptr;
        previousHandler = nullptr;
    }
    XCloseDisplay(display);
}

void X11Connection::TakeMappingChanges() {
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            printableValid = false;
        }
    }
}

unsigned X11Connection::KeycodeOf(unsigned key) const {
    const KeySym symbol = KeysymOfVirtualKey(key);
    return symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
}

// The key for a printable ASCII character: the key with the lowest code that gives it, without Shift
// before with Shift, among the keys whose plain symbol has a virtual key (so a keypad parenthesis never
// stands in for the main one, and the main block's keys come before the extra key beside the left Shift).
// Worked out for all characters at once and kept until the key map or the layout group changes.
KeyCode X11Connection::PrintableKeyCode(unsigned char character) {
    XkbStateRec state{};
    const unsigned group = hasXkb && XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
    if (!printableValid || group != printableGroup) {
        BuildPrintableKeyCodes(group);
    }
    return printable[character - 0x20u];
}

void X11Connection::BuildPrintableKeyCodes(unsigned group) {
    printable.fill(NoKey);
    int minKeycode = 0, maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    for (int keycode = minKeycode; keycode <= maxKeycode; ++keycode) {
        const auto code = static_cast<::KeyCode>(keycode);
        const std::uint8_t key = VirtualKeyOfKeysym(XkbKeycodeToKeysym(display, code, group, 0));
        for (unsigned shift = 0; key != 0 && shift < 2; ++shift) {
            const KeySym symbol = XkbKeycodeToKeysym(display, code, group, shift);
            if (symbol >= 0x20 && symbol <= 0x7E && printable[symbol - 0x20] == NoKey) {
                printable[symbol - 0x20] =
                    static_cast<KeyCode>((shift != 0 ? ShiftStateShift << 8 : 0) | key);
            }
        }
    }
    printableValid = true;
    printableGroup = group;
}

std::string X11Connection::Title(Window window) const {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, NetWmName(), 0, 1024, False, Utf8String(), &actualType, &format,
                           &count, &remaining, &data) == Success &&
        data != nullptr) {
        std::string title;
        if (actualType == Utf8String() && format == 8) {
            title.assign(reinterpret_cast<const char*>(data), count);
        }
        XFree(data);
        if (actualType == Utf8String()) {
            return title;
        }
    }
    XTextProperty property{};
    if (XGetWMName(display, window, &property) == 0 || property.value == nullptr) {
        return {};
    }
    std::string title;
    if (property.encoding == XA_STRING) {
        title = Latin1ToUtf8(property.value, property.nitems);
    } else if (property.encoding == Utf8String()) {
        title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
    } else {
        char** list = nullptr;
        int items = 0;
        if (Xutf8TextPropertyToTextList(display, &property, &list, &items) >= Success && list != nullptr) {
            if (items > 0 && list[0] != nullptr) {
                title = list[0];
            }
            XFreeStringList(list);
        }
    }
    XFree(property.value);
    return title;
}

bool X11Connection::Iconic(Window window) const {
    const auto state = LongProperty(display, window, WmState(), WmState());
    if (!state.empty() && state[0] == IconicState) {
        return true;
    }
    for (unsigned long item : LongProperty(display, window, NetWmState(), XA_ATOM)) {
        if (item == StateHidden()) {
            return true;
        }
    }
    return false;
}

void X11Connection::SendToRoot(Window window, Atom type, std::array<long, 5> data) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    for (std::size_t i = 0; i < data.size(); ++i) {
        event.xclient.data.l[i] = data[i];
    }
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

bool X11Connection::Encloses(Window outer, Window inner) const {
    for (Window current = inner; current != None && current != root;) {
        if (current == outer) {
            return true;
        }
        Window rootReturn = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, current, &rootReturn, &parent, &children, &count) == 0) {
            return false;
        }
        if (children != nullptr) {
            XFree(children);
        }
        current = parent;
    }
    return false;
}

bool X11Connection::HasFocus(Window window) const {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == None || focus == PointerRoot || focus == root) {
        return false;
    }
    // The focus may sit on the window, on a child of it, or on the frame the manager holds it by.
    return Encloses(window, focus) || Encloses(focus, window);
}

// The window manager moves the focus when it gets round to the request, after this call would otherwise have
// returned: keys typed before then land in the window that still has it. So the wait is for the focus itself,
// woken by the window's focus events rather than polling, and bounded for a manager that declines.
void X11Connection::AskActivation(Window window, bool awaitFocus) const {
    XSelectInput(display, window, FocusChangeMask);
    SendToRoot(window, ActiveWindow(), {SourcePager, CurrentTime, 0, 0, 0});
    const auto deadline = std::chrono::steady_clock::now() + ActivationTimeout;
    while (awaitFocus && !HasFocus(window)) {
        // The round trips of the check may already have read the focus event into the queue, where no poll
        // sees it: look there before sleeping.
        XEvent event;
        bool arrived = false;
        while (XCheckWindowEvent(display, window, FocusChangeMask, &event)) {
            arrived = true;
        }
        if (arrived) {
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd wake{ConnectionNumber(display), POLLIN, 0};
        if (poll(&wake, 1, static_cast<int>(left.count())) > 0 && (wake.revents & (POLLERR | POLLHUP)) != 0) {
            break;
        }
        XEventsQueued(display, QueuedAfterReading);
    }
    XSelectInput(display, window, NoEventMask);
    XSync(display, False);
    XEvent event;
    while (XCheckWindowEvent(display, window, FocusChangeMask, &event)) {
    }
}

void X11Connection::Activate(Window window) const {
    if (HasWindowManager()) {
        // An iconic window takes the focus only once it is mapped again, which Restore sees to.
        AskActivation(window, !Iconic(window));
    } else {
        XMapRaised(display, window);
        XSync(display, False);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XSync(display, False);
}

void X11Connection::Restore(Window window) const {
    if (HasWindowManager()) {
        const bool iconic = Iconic(window);
        if (iconic) {
            XMapWindow(display, window);
        }
        SendToRoot(window, NetWmState(),
                   {NetWmStateRemove, static_cast<long>(MaximizedVert()), static_cast<long>(MaximizedHorz()),
                    SourcePager, 0});
        if (iconic) {
            AskActivation(window, true);
        }
    } else {
        XMapRaised(display, window);
    }
    XSync(display, False);
}

unsigned X11Connection::NumLockMask() const {
    return XkbKeysymToModifiers(display, XK_Num_Lock);
}

unsigned X11Connection::LockedModifiers() const {
    XkbStateRec state{};
    if (!hasXkb || XkbGetState(display, XkbUseCoreKbd, &state) != Success) {
        return 0;
    }
    return state.locked_mods;
}

} // namespace brelmont
