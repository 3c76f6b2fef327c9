// SPDX-License-Identifier: MIT
// The keyboard and window operations that key sending and window activation stand on, as one replaceable
// interface. The program installs the real implementation at start-up with SetKeyPlatform; the tests install
// a recording one. Until something is installed, a silent platform is current: it sends nothing and knows no
// windows, so code that types keys still runs in programs and tests that never set one up.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace brelmont {

// Low byte: a virtual-key code. High byte: the shift state that the key needs (1 Shift, 2 Control, 4 Alt;
// other bits are ignored). NoKey means that no key gives the character.
using KeyCode = std::uint16_t;
inline constexpr KeyCode NoKey = 0xFFFF;

// Bits of a key code's high byte.
inline constexpr unsigned ShiftStateShift = 1;
inline constexpr unsigned ShiftStateControl = 2;
inline constexpr unsigned ShiftStateAlt = 4;

// Flags of one keyboard event; a release of an extended key carries both.
inline constexpr std::uint32_t KeyEventExtended = 1;
inline constexpr std::uint32_t KeyEventRelease = 2;

// An opaque top-level window; 0 is no window.
using WindowHandle = std::uintptr_t;

enum class SystemCommand : std::uint16_t {
    Restore = 0xF120, // un-minimise and un-maximise
    Hotkey = 0xF150,  // activate the window given as argument
};

// One pending keyboard message of the program's own windows, as far as the sender needs to pass it on.
struct KeyMessage {
    std::uint32_t Message = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
};

using KeyboardState = std::array<std::uint8_t, 256>;

class KeyPlatform {
public:
    KeyPlatform() = default;
    KeyPlatform(const KeyPlatform&) = delete;
    KeyPlatform& operator=(const KeyPlatform&) = delete;
    virtual ~KeyPlatform() = default;

    // One synthetic keyboard event for the window that has the keyboard focus, as if typed.
    virtual void KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) = 0;
    // The scan code of a virtual key; callers use only its low 8 bits.
    virtual unsigned ScanCode(std::uint8_t virtualKey) = 0;
    // The key, with its shift state, that gives the character in the current keyboard layout, or NoKey.
    virtual KeyCode KeyCodeForCharacter(char character) = 0;
    // Bit 0: the key's toggle (lock) is on; bit 15: the key is down.
    virtual std::uint16_t KeyState(std::uint8_t virtualKey) = 0;
    virtual void ReadKeyboardState(KeyboardState& state) = 0;
    virtual void WriteKeyboardState(const KeyboardState& state) = 0;
    // Takes one pending keyboard message of the program's own windows out of its queue; false when none is
    // left.
    virtual bool TakeKeyboardMessage(KeyMessage& message) = 0;
    virtual void TranslateKeyboardMessage(const KeyMessage& message) = 0;
    virtual void DispatchKeyboardMessage(const KeyMessage& message) = 0;
    // A modal box with one OK button, no owner and no icon; returns when it is dismissed.
    virtual void ShowMessageBox(std::string_view text, std::string_view caption) = 0;
    // A top-level window whose whole title equals the text, or 0.
    virtual WindowHandle FindWindowByTitle(std::string_view title) = 0;
    // Calls visit with each top-level window until visit answers false.
    virtual void EnumerateWindows(const std::function<bool(WindowHandle)>& visit) = 0;
    // The window's title, UTF-8, cut to at most maxCharacters characters.
    virtual std::string WindowTitle(WindowHandle window, std::size_t maxCharacters) = 0;
    virtual void SendSystemCommand(WindowHandle window, SystemCommand command, WindowHandle argument) = 0;
};

// Installs the platform that SendKeys and ActivateWindow use from now on; nullptr brings back the silent one.
// The platform must outlive its installation.
void SetKeyPlatform(KeyPlatform* platform);
KeyPlatform& CurrentKeyPlatform();

// The key code that a US keyboard layout gives for a character, for platforms that have no keyboard map of
// their own to ask: printable ASCII, Tab, Backspace, Return, Ctrl+Enter for a line feed and Ctrl+key for the
// other control characters; NoKey for every byte above 0x7F.
KeyCode UsLayoutKeyCode(char character);

} // namespace brelmont
