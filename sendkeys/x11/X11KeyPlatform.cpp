// SPDX-License-Identifier: MIT
#include "sendkeys/x11/X11KeyPlatform.h"

#include "sendkeys/KeyTables.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <array>
#include <vector>

// The X headers define macros (None, Bool, KeyPress, ...) that collide with the toolkit's names: they come
// last.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace brelmont {

namespace {

constexpr long NetWmStateRemove = 0;
constexpr long SourcePager =
    2; // window managers honour activation asked by a pager without focus-stealing checks
constexpr int KeycodeOffset = 8; // X key codes are the kernel's key numbers plus 8
// How long Wait gives the server's key events to reach the program's own window; they normally take well
// under a millisecond, so this bounds only a stalled server.
constexpr int DeliveryTimeoutMs = 1000;

KeySym KeysymOfVirtualKey(unsigned key) {
    if (key >= '0' && key <= '9') {
        return XK_0 + (key - '0');
    }
    if (key >= 'A' && key <= 'Z') {
        return XK_a + (key - 'A');
    }
    if (key >= vk::Numpad0 && key <= vk::Numpad0 + 9u) {
        return XK_KP_0 + (key - vk::Numpad0);
    }
    if (key >= vk::F1 && key <= vk::F1 + 23u) {
        return XK_F1 + (key - vk::F1);
    }
    switch (key) {
    case vk::Cancel:
        return XK_Break;
    case vk::Back:
        return XK_BackSpace;
    case vk::Tab:
        return XK_Tab;
    case vk::Clear:
        return XK_Clear;
    case vk::Return:
        return XK_Return;
    case vk::Shift:
    case 0xA0:
        return XK_Shift_L;
    case 0xA1:
        return XK_Shift_R;
    case vk::Control:
    case 0xA2:
        return XK_Control_L;
    case 0xA3:
        return XK_Control_R;
    case vk::Menu:
    case 0xA4:
        return XK_Alt_L;
    case 0xA5:
        return XK_Alt_R;
    case vk::Pause:
        return XK_Pause;
    case vk::Capital:
        return XK_Caps_Lock;
    case vk::Escape:
        return XK_Escape;
    case vk::Space:
        return XK_space;
    case vk::Prior:
        return XK_Prior;
    case vk::Next:
        return XK_Next;
    case vk::End:
        return XK_End;
    case vk::Home:
        return XK_Home;
    case vk::Left:
        return XK_Left;
    case vk::Up:
        return XK_Up;
    case vk::Right:
        return XK_Right;
    case vk::Down:
        return XK_Down;
    case 0x29:
        return XK_Select;
    case vk::Print:
    case vk::Snapshot:
        return XK_Print;
    case 0x2B:
        return XK_Execute;
    case vk::Insert:
        return XK_Insert;
    case vk::Delete:
        return XK_Delete;
    case vk::Help:
        return XK_Help;
    case 0x5B:
        return XK_Super_L;
    case 0x5C:
        return XK_Super_R;
    case 0x5D:
        return XK_Menu;
    case vk::Multiply:
        return XK_KP_Multiply;
    case vk::Add:
        return XK_KP_Add;
    case vk::Separator:
        return XK_KP_Separator;
    case vk::Subtract:
        return XK_KP_Subtract;
    case vk::Decimal:
        return XK_KP_Decimal;
    case vk::Divide:
        return XK_KP_Divide;
    case vk::NumLock:
        return XK_Num_Lock;
    case vk::Scroll:
        return XK_Scroll_Lock;
    case vk::Oem1:
        return XK_semicolon;
    case vk::OemPlus:
        return XK_equal;
    case vk::OemComma:
        return XK_comma;
    case vk::OemMinus:
        return XK_minus;
    case vk::OemPeriod:
        return XK_period;
    case vk::Oem2:
        return XK_slash;
    case vk::Oem3:
        return XK_grave;
    case vk::Oem4:
        return XK_bracketleft;
    case vk::Oem5:
        return XK_backslash;
    case vk::Oem6:
        return XK_bracketright;
    case vk::Oem7:
        return XK_apostrophe;
    case 0xE2:
        return XK_less;
    default:
        return NoSymbol;
    }
}

// The virtual key whose symbol is the one a key gives without modifiers; 0 when none is.
std::uint8_t VirtualKeyOfKeysym(KeySym symbol) {
    for (unsigned key = 1; key < 256; ++key) {
        if (KeysymOfVirtualKey(key) == symbol) {
            return static_cast<std::uint8_t>(key);
        }
    }
    return 0;
}

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

struct X11KeyPlatform::Connection {
    explicit Connection(Display* opened) : display(opened), root(DefaultRootWindow(opened)) {
        int event = 0, error = 0, major = 0, minor = 0;
        hasXTest = XTestQueryExtension(display, &event, &error, &major, &minor) != False;
        int opcode = 0;
        major = XkbMajorVersion;
        minor = XkbMinorVersion;
        hasXkb = XkbQueryExtension(display, &opcode, &event, &error, &major, &minor) != False;
        const char* names[] = {"_NET_SUPPORTING_WM_CHECK",
                               "_NET_CLIENT_LIST",
                               "_NET_ACTIVE_WINDOW",
                               "_NET_WM_NAME",
                               "UTF8_STRING",
                               "_NET_WM_STATE",
                               "_NET_WM_STATE_HIDDEN",
                               "_NET_WM_STATE_MAXIMIZED_VERT",
                               "_NET_WM_STATE_MAXIMIZED_HORZ",
                               "WM_STATE"};
        XInternAtoms(display, const_cast<char**>(names), static_cast<int>(std::size(names)), False,
                     atoms.data());
    }
    ~Connection() {
        if (quietDisplay == display) {
            XSetErrorHandler(previousHandler);
            quietDisplay = nullptr;
            previousHandler = nullptr;
        }
        XCloseDisplay(display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Atom SupportingWmCheck() const { return atoms[0]; }
    Atom ClientList() const { return atoms[1]; }
    Atom ActiveWindow() const { return atoms[2]; }
    Atom NetWmName() const { return atoms[3]; }
    Atom Utf8String() const { return atoms[4]; }
    Atom NetWmState() const { return atoms[5]; }
    Atom StateHidden() const { return atoms[6]; }
    Atom MaximizedVert() const { return atoms[7]; }
    Atom MaximizedHorz() const { return atoms[8]; }
    Atom WmState() const { return atoms[9]; }

    // Keeps the key map that the key lookups use current after another client changed it.
    void TakeMappingChanges() {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
                printableValid = false;
            }
        }
    }

    KeyCode KeycodeOf(unsigned key) const {
        const KeySym symbol = KeysymOfVirtualKey(key);
        return symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
    }

    // The key for a printable ASCII character: the key with the lowest code that gives it, without Shift
    // before with Shift, among the keys whose plain symbol has a virtual key (so a keypad parenthesis never
    // stands in for the main one, and the main block's keys come before the extra key beside the left Shift).
    // Worked out for all characters at once and kept until the key map or the layout group changes.
    KeyCode PrintableKeyCode(unsigned char character) {
        XkbStateRec state{};
        const unsigned group =
            hasXkb && XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
        if (!printableValid || group != printableGroup) {
            BuildPrintableKeyCodes(group);
        }
        return printable[character - 0x20u];
    }

    void BuildPrintableKeyCodes(unsigned group) {
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

    // The items of a property of 32-bit format, which Xlib hands over as longs.
    std::vector<unsigned long> LongProperty(Window window, Atom property, Atom type) const {
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

    bool HasWindowManager() const {
        const auto check = LongProperty(root, SupportingWmCheck(), XA_WINDOW);
        if (check.empty()) {
            return false;
        }
        const auto self = LongProperty(check[0], SupportingWmCheck(), XA_WINDOW);
        return !self.empty() && self[0] == check[0];
    }

    std::vector<Window> TopLevelWindows() const {
        std::vector<Window> windows;
        if (HasWindowManager()) {
            for (unsigned long window : LongProperty(root, ClientList(), XA_WINDOW)) {
                windows.push_back(window);
            }
            return windows;
        }
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0) {
            return windows;
        }
        // The tree lists from the bottom of the stack; the topmost window comes first here.
        for (unsigned i = count; i-- > 0;) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable && attributes.c_class == InputOutput &&
                attributes.override_redirect == False) {
                windows.push_back(children[i]);
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
        return windows;
    }

    std::string Title(Window window) const {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, NetWmName(), 0, 1024, False, Utf8String(), &actualType,
                               &format, &count, &remaining, &data) == Success &&
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
            if (Xutf8TextPropertyToTextList(display, &property, &list, &items) >= Success &&
                list != nullptr) {
                if (items > 0 && list[0] != nullptr) {
                    title = list[0];
                }
                XFreeStringList(list);
            }
        }
        XFree(property.value);
        return title;
    }

    bool Iconic(Window window) const {
        const auto state = LongProperty(window, WmState(), WmState());
        if (!state.empty() && state[0] == IconicState) {
            return true;
        }
        for (unsigned long item : LongProperty(window, NetWmState(), XA_ATOM)) {
            if (item == StateHidden()) {
                return true;
            }
        }
        return false;
    }

    void SendToRoot(Window window, Atom type, std::array<long, 5> data) const {
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

    void Activate(Window window) const {
        if (HasWindowManager()) {
            SendToRoot(window, ActiveWindow(), {SourcePager, CurrentTime, 0, 0, 0});
        } else {
            XMapRaised(display, window);
            XSync(display, False);
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
        }
        XSync(display, False);
    }

    void Restore(Window window) const {
        if (HasWindowManager()) {
            const bool iconic = Iconic(window);
            if (iconic) {
                XMapWindow(display, window);
            }
            SendToRoot(window, NetWmState(),
                       {NetWmStateRemove, static_cast<long>(MaximizedVert()),
                        static_cast<long>(MaximizedHorz()), SourcePager, 0});
            if (iconic) {
                SendToRoot(window, ActiveWindow(), {SourcePager, CurrentTime, 0, 0, 0});
            }
        } else {
            XMapRaised(display, window);
        }
        XSync(display, False);
    }

    unsigned NumLockMask() const { return XkbKeysymToModifiers(display, XK_Num_Lock); }

    unsigned LockedModifiers() const {
        XkbStateRec state{};
        if (!hasXkb || XkbGetState(display, XkbUseCoreKbd, &state) != Success) {
            return 0;
        }
        return state.locked_mods;
    }

    Display* display = nullptr;
    Window root = 0;
    bool hasXTest = false;
    bool hasXkb = false;
    std::array<Atom, 10> atoms{};
    std::array<KeyCode, 95> printable{};
    bool printableValid = false;
    unsigned printableGroup = 0;
};

// Counts the key events that reach the toolkit from the X server, so that Wait knows when the events it sent
// to the program's own window have all been dispatched.
class X11KeyPlatform::KeyEventCounter : public QAbstractNativeEventFilter {
public:
    KeyEventCounter() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~KeyEventCounter() override {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::instance()->removeNativeEventFilter(this);
        }
    }
    KeyEventCounter(const KeyEventCounter&) = delete;
    KeyEventCounter& operator=(const KeyEventCounter&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type == "xcb_generic_event_t") {
            const auto kind = static_cast<xcb_generic_event_t*>(message)->response_type & 0x7F;
            if (kind == XCB_KEY_PRESS || kind == XCB_KEY_RELEASE) {
                ++Count;
            }
        }
        return false;
    }

    unsigned long Count = 0;
};

X11KeyPlatform::X11KeyPlatform(std::string displayName) : displayName_(std::move(displayName)) {}

X11KeyPlatform::~X11KeyPlatform() = default;

X11KeyPlatform::Connection* X11KeyPlatform::Open() {
    if (!triedToOpen_) {
        triedToOpen_ = true;
        Display* display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
        if (display != nullptr) {
            connection_ = std::make_unique<Connection>(display);
            if (quietDisplay == nullptr) {
                quietDisplay = display;
                previousHandler = XSetErrorHandler(QuietErrorHandler);
            }
        }
    }
    if (connection_) {
        connection_->TakeMappingChanges();
    }
    return connection_.get();
}

bool X11KeyPlatform::Connected() {
    return Open() != nullptr;
}

bool X11KeyPlatform::HasWindowManager() {
    Connection* c = Open();
    return c != nullptr && c->HasWindowManager();
}

void X11KeyPlatform::KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    Connection* c = Open();
    if (c == nullptr || !c->hasXTest) {
        return;
    }
    unsigned keycode = c->KeycodeOf(virtualKey);
    if (keycode == 0 && scanCode != 0 && scanCode + KeycodeOffset <= 255) {
        keycode = scanCode + KeycodeOffset;
    }
    if (keycode == 0) {
        return;
    }
    XTestFakeKeyEvent(c->display, keycode, (flags & KeyEventRelease) == 0 ? True : False, CurrentTime);
    XFlush(c->display);
    ++eventsSinceDispatch_;
}

unsigned X11KeyPlatform::ScanCode(std::uint8_t virtualKey) {
    Connection* c = Open();
    const unsigned keycode = c != nullptr ? c->KeycodeOf(virtualKey) : 0;
    return keycode >= KeycodeOffset ? (keycode - KeycodeOffset) & 0xFFu : 0;
}

KeyCode X11KeyPlatform::KeyCodeForCharacter(char character) {
    const auto c = static_cast<unsigned char>(character);
    Connection* connection = Open();
    if (connection == nullptr) {
        return UsLayoutKeyCode(character);
    }
    if (c >= 0x80) {
        return NoKey;
    }
    if (c < 0x20 || c == 0x7F) {
        // Control characters are keys held with Control; they exist when their key does.
        const KeyCode code = UsLayoutKeyCode(character);
        return code != NoKey && connection->KeycodeOf(code & 0xFFu) != 0 ? code : NoKey;
    }
    return connection->PrintableKeyCode(c);
}

std::uint16_t X11KeyPlatform::KeyState(std::uint8_t virtualKey) {
    Connection* c = Open();
    if (c == nullptr) {
        return 0;
    }
    std::uint16_t state = 0;
    const unsigned locked = c->LockedModifiers();
    if ((virtualKey == vk::NumLock && (locked & c->NumLockMask()) != 0) ||
        (virtualKey == vk::Capital && (locked & LockMask) != 0)) {
        state |= 1u;
    }
    const unsigned keycode = c->KeycodeOf(virtualKey);
    char keys[32] = {};
    if (keycode != 0 && XQueryKeymap(c->display, keys) != 0 &&
        (keys[keycode / 8] & (1 << (keycode % 8))) != 0) {
        state |= 0x8000u;
    }
    return state;
}

void X11KeyPlatform::ReadKeyboardState(KeyboardState& state) {
    state.fill(0);
    Connection* c = Open();
    if (c == nullptr) {
        return;
    }
    char keys[32] = {};
    XQueryKeymap(c->display, keys);
    for (unsigned key = 1; key < state.size(); ++key) {
        const unsigned keycode = c->KeycodeOf(key);
        if (keycode != 0 && (keys[keycode / 8] & (1 << (keycode % 8))) != 0) {
            state[key] = 0x80;
        }
    }
    const unsigned locked = c->LockedModifiers();
    if ((locked & c->NumLockMask()) != 0) {
        state[vk::NumLock] |= 1u;
    }
    if ((locked & LockMask) != 0) {
        state[vk::Capital] |= 1u;
    }
}

void X11KeyPlatform::WriteKeyboardState(const KeyboardState& state) {
    Connection* c = Open();
    if (c == nullptr || !c->hasXkb) {
        return;
    }
    const unsigned locked = c->LockedModifiers();
    for (const auto& [key, mask] :
         {std::pair{vk::NumLock, c->NumLockMask()}, std::pair{vk::Capital, unsigned{LockMask}}}) {
        const bool wanted = (state[key] & 1u) != 0;
        if (mask != 0 && wanted != ((locked & mask) != 0)) {
            XkbLockModifiers(c->display, XkbUseCoreKbd, mask, wanted ? mask : 0);
        }
    }
    XSync(c->display, False);
}

bool X11KeyPlatform::FocusIsOwnWindow() {
    Connection* c = Open();
    if (c == nullptr || qGuiApp == nullptr) {
        return false;
    }
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(c->display, &focus, &revert);
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.begin(), windows.end(), [focus](const QWindow* window) {
        return window->handle() != nullptr && window->winId() == focus;
    });
}

// The events sent since the last dispatch become one message: dispatching it runs the toolkit's event loop
// until the server's key events for them have been delivered, when the focus is on one of the program's own
// windows. Events for other programs' windows are none of the program's business, and nothing is awaited for
// them.
bool X11KeyPlatform::TakeKeyboardMessage(KeyMessage& message) {
    if (eventsSinceDispatch_ == 0 || QCoreApplication::instance() == nullptr) {
        return false;
    }
    if (!counter_) {
        counter_ = std::make_unique<KeyEventCounter>();
    }
    const unsigned sent = eventsSinceDispatch_;
    eventsSinceDispatch_ = 0;
    awaitedKeyEvents_ = counter_->Count + (FocusIsOwnWindow() ? sent : 0);
    message = KeyMessage{};
    return true;
}

void X11KeyPlatform::TranslateKeyboardMessage(const KeyMessage&) {}

void X11KeyPlatform::DispatchKeyboardMessage(const KeyMessage&) {
    const auto flags = QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;
    QElapsedTimer timer;
    timer.start();
    QCoreApplication::processEvents(flags);
    while (counter_ && counter_->Count < awaitedKeyEvents_ && timer.elapsed() < DeliveryTimeoutMs) {
        QThread::usleep(100);
        QCoreApplication::processEvents(flags);
    }
}

void X11KeyPlatform::ShowMessageBox(std::string_view text, std::string_view caption) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    QMessageBox box(QMessageBox::NoIcon,
                    QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
    box.exec();
}

WindowHandle X11KeyPlatform::FindWindowByTitle(std::string_view title) {
    Connection* c = Open();
    if (c == nullptr) {
        return 0;
    }
    for (Window window : c->TopLevelWindows()) {
        if (c->Title(window) == title) {
            return window;
        }
    }
    return 0;
}

void X11KeyPlatform::EnumerateWindows(const std::function<bool(WindowHandle)>& visit) {
    Connection* c = Open();
    if (c == nullptr) {
        return;
    }
    for (Window window : c->TopLevelWindows()) {
        if (!visit(window)) {
            return;
        }
    }
}

std::string X11KeyPlatform::WindowTitle(WindowHandle window, std::size_t maxCharacters) {
    Connection* c = Open();
    if (c == nullptr || window == 0) {
        return {};
    }
    return std::string(CutUtf8(c->Title(window), maxCharacters));
}

void X11KeyPlatform::SendSystemCommand(WindowHandle window, SystemCommand command, WindowHandle argument) {
    Connection* c = Open();
    if (c == nullptr) {
        return;
    }
    switch (command) {
    case SystemCommand::Hotkey:
        if (argument != 0) {
            c->Activate(argument);
        }
        break;
    case SystemCommand::Restore:
        if (window != 0) {
            c->Restore(window);
        }
        break;
    }
}

} // namespace brelmont
