// SPDX-License-Identifier: MIT
// A KeyPlatform that performs nothing and records what it is asked to do, for the tests, the fuzz target and
// the benchmark of key sending. Its keyboard layout is the US one unless a test overrides characters; its
// windows are a list the test fills in enumeration order.
#pragma once

#include "sendkeys/KeyPlatform.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace brelmont {

struct RecordedOperation {
    enum class Kind { KeyEvent, MessageBox, StateWrite, TranslateMessage, DispatchMessage, SystemCommand };
    Kind What = Kind::KeyEvent;
    std::uint8_t VirtualKey = 0;
    std::uint8_t ScanCode = 0;
    std::uint32_t Flags = 0; // key event flags, or the system command
    WindowHandle Window = 0;
    WindowHandle Argument = 0;
    std::string Text; // message box text and caption, or the changed entries of a keyboard state
};

struct RecordedWindow {
    WindowHandle Handle = 0;
    std::string Title;
};

class RecordingKeyPlatform : public KeyPlatform {
public:
    // The scan code that ScanCode reports for a key: its low byte differs from the key's own code, and higher
    // bits are set so that a caller that forgets to cut it to 8 bits shows up.
    static constexpr unsigned ScanCodeOf(std::uint8_t virtualKey) {
        return 0xE100u | ((virtualKey + 0x40u) & 0xFFu);
    }

    void KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
    unsigned ScanCode(std::uint8_t virtualKey) override { return ScanCodeOf(virtualKey); }
    KeyCode KeyCodeForCharacter(char character) override;
    std::uint16_t KeyState(std::uint8_t virtualKey) override;
    void ReadKeyboardState(KeyboardState& state) override { state = State; }
    void WriteKeyboardState(const KeyboardState& state) override;
    bool TakeKeyboardMessage(KeyMessage& message) override;
    void TranslateKeyboardMessage(const KeyMessage& message) override;
    void DispatchKeyboardMessage(const KeyMessage& message) override;
    void ShowMessageBox(std::string_view text, std::string_view caption) override;
    WindowHandle FindWindowByTitle(std::string_view title) override;
    void EnumerateWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::string WindowTitle(WindowHandle window, std::size_t maxCharacters) override;
    void SendSystemCommand(WindowHandle window, SystemCommand command, WindowHandle argument) override;

    // The key events and the other operations as one line: key events as "0D 0" (key in hex, flags), the rest
    // as "box SendKeys: No Close", "state 90=01", "translate", "dispatch" and "activate 7" or "restore 7".
    std::string Describe() const;
    // Only the key events, as Describe writes them.
    std::string DescribeKeys() const;
    // The virtual keys whose last event was a press.
    std::vector<std::uint8_t> KeysDown() const;

    std::vector<RecordedOperation> Operations;
    // When false, key events update KeysDown and KeyEventCount but are not kept in Operations.
    bool RecordKeyEvents = true;
    std::size_t KeyEventCount = 0;
    std::map<char, KeyCode> LayoutOverrides;
    KeyboardState State{};
    std::deque<KeyMessage> PendingMessages;
    std::vector<RecordedWindow> Windows;
    bool FailWindowLookup = false; // FindWindowByTitle raises
    std::size_t EnumeratedWindows = 0;

private:
    std::array<bool, 256> down_{};
};

} // namespace brelmont
