// SPDX-License-Identifier: MIT
// The real keyboard and window platform on X11: synthetic key events through the XTest extension, the
// keyboard map and lock state through XKB, top-level windows from the window manager's client list (or the
// root window's children when no window manager runs), activation through _NET_ACTIVE_WINDOW or, without a
// window manager, by raising the window and giving it the input focus. Message boxes are the toolkit's.
//
// The program installs one at start-up, after its QApplication exists (see sendkeys/SendKeys.h):
//
//     static brelmont::X11KeyPlatform keys;
//     brelmont::SetKeyPlatform(&keys);
//
// The display is opened at first use. Where none can be opened every operation fails quietly: no key is sent
// and no window is found.
#pragma once

#include "sendkeys/KeyPlatform.h"

#include <memory>
#include <string>

namespace brelmont {

class X11Connection;

class X11KeyPlatform final : public KeyPlatform {
public:
    // An empty name means the display that DISPLAY names.
    explicit X11KeyPlatform(std::string displayName = {});
    ~X11KeyPlatform() override;

    bool Connected();
    // True when an EWMH window manager announces itself on the root window.
    bool HasWindowManager();

    void KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
    // The X key code less 8, which for the usual keyboards is the PC scan code; 0 when no key has the symbol.
    unsigned ScanCode(std::uint8_t virtualKey) override;
    KeyCode KeyCodeForCharacter(char character) override;
    std::uint16_t KeyState(std::uint8_t virtualKey) override;
    // Down keys and the NumLock and CapsLock toggles; writing changes only those two toggles.
    void ReadKeyboardState(KeyboardState& state) override;
    void WriteKeyboardState(const KeyboardState& state) override;
    bool TakeKeyboardMessage(KeyMessage& message) override;
    void TranslateKeyboardMessage(const KeyMessage& message) override;
    void DispatchKeyboardMessage(const KeyMessage& message) override;
    void ShowMessageBox(std::string_view text, std::string_view caption) override;
    WindowHandle FindWindowByTitle(std::string_view title) override;
    void EnumerateWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::string WindowTitle(WindowHandle window, std::size_t maxCharacters) override;
    void SendSystemCommand(WindowHandle window, SystemCommand command, WindowHandle argument) override;

private:
    X11Connection* Open();

    bool FocusIsOwnWindow();

    class KeyEventCounter;

    std::string displayName_;
    std::unique_ptr<X11Connection> connection_;
    std::unique_ptr<KeyEventCounter> counter_;
    bool triedToOpen_ = false;
    unsigned eventsSinceDispatch_ = 0;
    unsigned long awaitedKeyEvents_ =
        0; // the counter's value once the events sent so far have been delivered
};

} // namespace brelmont
