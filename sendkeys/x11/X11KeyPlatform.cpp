// SPDX-License-Identifier: MIT
#include "sendkeys/x11/X11KeyPlatform.h"

#include "base/Text.h"
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

// The X headers define macros (None, Bool, KeyPress, ...) that collide with the toolkit's names: they come
// last.
#include "sendkeys/x11/X11Connection.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <xcb/xcb.h>

namespace brelmont {

namespace {

constexpr int KeycodeOffset = 8; // X key codes are the kernel's key numbers plus 8
// How long Wait gives the server's key events to reach the program's own window; they normally take well
// under a millisecond, so this bounds only a stalled server.
constexpr int DeliveryTimeoutMs = 1000;

} // namespace

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

X11Connection* X11KeyPlatform::Open() {
    if (!triedToOpen_) {
        triedToOpen_ = true;
        connection_ = X11Connection::Open(displayName_);
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
    X11Connection* c = Open();
    return c != nullptr && c->HasWindowManager();
}

void X11KeyPlatform::KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    X11Connection* c = Open();
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
    X11Connection* c = Open();
    const unsigned keycode = c != nullptr ? c->KeycodeOf(virtualKey) : 0;
    return keycode >= KeycodeOffset ? (keycode - KeycodeOffset) & 0xFFu : 0;
}

KeyCode X11KeyPlatform::KeyCodeForCharacter(char character) {
    const auto c = static_cast<unsigned char>(character);
    X11Connection* connection = Open();
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
    X11Connection* c = Open();
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
    X11Connection* c = Open();
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
    X11Connection* c = Open();
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
    X11Connection* c = Open();
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
    X11Connection* c = Open();
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
    X11Connection* c = Open();
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
    X11Connection* c = Open();
    if (c == nullptr || window == 0) {
        return {};
    }
    return std::string(CutUtf8(c->Title(window), maxCharacters));
}

void X11KeyPlatform::SendSystemCommand(WindowHandle window, SystemCommand command, WindowHandle argument) {
    X11Connection* c = Open();
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
