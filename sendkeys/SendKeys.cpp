// SPDX-License-Identifier: MIT
#include "sendkeys/SendKeys.h"

#include "base/Exception.h"
#include "base/Text.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace brelmont {

WindowHandle FoundWindow = 0;

namespace {

constexpr std::size_t MaxNameLength = 20;
// Titles are read into 80 characters, terminator included.
constexpr std::size_t TitleCharacters = 79;
constexpr KeyCode ShiftedOem4 = 0x01DB; // "{" whatever the layout
constexpr KeyCode ShiftedOem6 = 0x01DD; // "}" whatever the layout
constexpr std::size_t NoClose = static_cast<std::size_t>(-1);

// The state of one SendKeys call; a new one for every call, so nothing leaks from one call into the next.
class KeySender {
public:
    KeySender(KeyPlatform& platform, bool wait) : platform_(platform), Wait(wait) {}

    bool Send(std::string_view keys);

    // Releases, Shift first, then Control, then Alt, each modifier whose last event was a press. Without this
    // a string that ends early, raises or leaves a group open would leave the user's keyboard with a stuck
    // modifier.
    void ReleaseLeftoverModifiers() {
        for (std::size_t i = 0; i < modifiers.size(); ++i) {
            if (modifierDown[i]) {
                ReleaseModifier(modifiers[i]);
            }
        }
    }

private:
    static constexpr std::array<std::uint8_t, 3> modifiers = {vk::Shift, vk::Control, vk::Menu};

    void EmitKeyEvent(std::uint8_t virtualKey, std::uint8_t scan, std::uint32_t flags) {
        platform_.KeyEvent(virtualKey, scan, flags);
        TrackModifier(virtualKey, (flags & KeyEventRelease) == 0);
        if (Wait) {
            KeyMessage message;
            while (platform_.TakeKeyboardMessage(message)) {
                platform_.TranslateKeyboardMessage(message);
                platform_.DispatchKeyboardMessage(message);
            }
        }
    }

    void TrackModifier(std::uint8_t virtualKey, bool down) {
        for (std::size_t i = 0; i < modifiers.size(); ++i) {
            if (modifiers[i] == virtualKey) {
                modifierDown[i] = down;
            }
        }
    }

    std::uint8_t ScanOf(std::uint8_t virtualKey) {
        return static_cast<std::uint8_t>(platform_.ScanCode(virtualKey));
    }

    void StrikeKey(std::uint8_t virtualKey, unsigned count, bool withRelease) {
        if (virtualKey == vk::NumLock) {
            const bool on = (platform_.KeyState(vk::NumLock) & 1u) != 0;
            KeyboardState state{};
            platform_.ReadKeyboardState(state);
            state[vk::NumLock] = on ? static_cast<std::uint8_t>(state[vk::NumLock] & ~1u)
                                    : static_cast<std::uint8_t>(state[vk::NumLock] | 1u);
            platform_.WriteKeyboardState(state);
            return;
        }
        const std::uint8_t scan = ScanOf(virtualKey);
        const bool extended = ExtendedKeys.test(virtualKey);
        const std::uint32_t press = extended ? KeyEventExtended : 0;
        for (unsigned i = 0; i < count; ++i) {
            EmitKeyEvent(virtualKey, scan, press);
            if (withRelease) {
                EmitKeyEvent(virtualKey, scan, press | KeyEventRelease);
            }
        }
    }

    void ReleaseModifier(std::uint8_t virtualKey) {
        EmitKeyEvent(virtualKey, ScanOf(virtualKey), KeyEventRelease);
    }

    void SendKeyCode(KeyCode code, unsigned count) {
        const unsigned shiftState = code >> 8;
        if ((shiftState & ShiftStateShift) != 0) {
            StrikeKey(vk::Shift, 1, false);
        }
        if ((shiftState & ShiftStateControl) != 0) {
            StrikeKey(vk::Control, 1, false);
        }
        if ((shiftState & ShiftStateAlt) != 0) {
            StrikeKey(vk::Menu, 1, false);
        }
        StrikeKey(static_cast<std::uint8_t>(code & 0xFFu), count, true);
        // Released in the order they were pressed, not in reverse.
        if ((shiftState & ShiftStateShift) != 0) {
            ReleaseModifier(vk::Shift);
        }
        if ((shiftState & ShiftStateControl) != 0) {
            ReleaseModifier(vk::Control);
        }
        if ((shiftState & ShiftStateAlt) != 0) {
            ReleaseModifier(vk::Menu);
        }
    }

    void ReleaseHeldModifiers() {
        if (InGroup) {
            return;
        }
        if (ShiftHeld) {
            ReleaseModifier(vk::Shift);
        }
        if (ControlHeld) {
            ReleaseModifier(vk::Control);
        }
        if (AltHeld) {
            ReleaseModifier(vk::Menu);
        }
        ShiftHeld = ControlHeld = AltHeld = false;
    }

    KeyCode LookupKeyName(std::string_view name) {
        for (const KeyName& row : KeyNameTable) {
            if (row.Name == name) {
                return row.VirtualKey;
            }
        }
        ShowSendKeysError("Invalid Key Name");
        return NoKey;
    }

    void ShowSendKeysError(std::string_view text) { platform_.ShowMessageBox(text, "SendKeys"); }

    std::size_t BraceGroup(std::string_view keys, std::size_t open);

    KeyPlatform& platform_;
    bool Wait = false;
    bool InGroup = false;
    bool ShiftHeld = false;
    bool ControlHeld = false;
    bool AltHeld = false;
    std::uint16_t RepeatCount = 1;
    std::array<bool, 3> modifierDown{};
};

// Handles the group whose "{" is at open; answers where reading goes on, or NoClose.
std::size_t KeySender::BraceGroup(std::string_view keys, std::size_t open) {
    RepeatCount = 1;
    if (open + 1 < keys.size() && keys[open + 1] == '{') {
        SendKeyCode(ShiftedOem4, 1);
        ReleaseHeldModifiers();
        return open + 3; // the character after "{{" is passed over, whatever it is
    }
    std::array<char, MaxNameLength> buffer{};
    std::size_t length = 0;
    std::size_t close = open + 1;
    for (; close < keys.size() && keys[close] != '}'; ++close) {
        if (length < MaxNameLength) {
            buffer[length++] = UpperAscii(keys[close]);
        }
    }
    if (close >= keys.size()) {
        ShowSendKeysError("No Close");
        return NoClose;
    }
    if (close + 1 < keys.size() && keys[close + 1] == '}') {
        SendKeyCode(ShiftedOem6, 1);
        ReleaseHeldModifiers();
        return close + 2;
    }
    std::string_view name(buffer.data(), length);
    if (const auto blank = name.find(' '); blank != std::string_view::npos) {
        const std::int32_t count = StrToInt(name.substr(blank + 1));
        RepeatCount = static_cast<std::uint16_t>(static_cast<std::uint32_t>(count) & 0xFFFFu);
        name = name.substr(0, blank);
    }
    // A single character that no key gives is dropped without a message, unlike an unknown name.
    const KeyCode code = name.size() == 1 ? platform_.KeyCodeForCharacter(name[0]) : LookupKeyName(name);
    if (code != NoKey) {
        SendKeyCode(code, RepeatCount);
        ReleaseHeldModifiers();
    }
    return close + 1;
}

bool KeySender::Send(std::string_view keys) {
    InGroup = ShiftHeld = ControlHeld = AltHeld = false;
    keys = keys.substr(0, keys.find('\0'));
    if (keys.empty()) {
        return false;
    }
    std::size_t position = 0;
    while (position < keys.size()) {
        const char c = keys[position];
        switch (c) {
        case '+':
            ShiftHeld = true;
            StrikeKey(vk::Shift, 1, false);
            break;
        case '^':
            ControlHeld = true;
            StrikeKey(vk::Control, 1, false);
            break;
        case '%':
            AltHeld = true;
            StrikeKey(vk::Menu, 1, false);
            break;
        case '(':
            InGroup = true;
            break;
        case ')':
            InGroup = false;
            ReleaseHeldModifiers();
            break;
        case '~':
            StrikeKey(vk::Return, 1, true);
            ReleaseHeldModifiers();
            break;
        case '{':
            position = BraceGroup(keys, position);
            if (position == NoClose) {
                return false;
            }
            continue;
        default:
            if (const KeyCode code = platform_.KeyCodeForCharacter(c); code == NoKey) {
                ShowSendKeysError("Invalid KeyName");
            } else {
                SendKeyCode(code, 1);
                ReleaseHeldModifiers();
            }
            break;
        }
        ++position;
    }
    ReleaseHeldModifiers();
    return true;
}

bool MatchWindowTitle(KeyPlatform& platform, WindowHandle window, std::string_view title) {
    const std::string text = platform.WindowTitle(window, TitleCharacters);
    if (!StartsWithAsciiCase(text, title)) {
        return true;
    }
    FoundWindow = window;
    return false;
}

} // namespace

bool SendKeys(std::string_view keys, bool Wait) {
    KeySender sender(CurrentKeyPlatform(), Wait);
    bool result = false;
    try {
        result = sender.Send(keys);
    } catch (...) {
        sender.ReleaseLeftoverModifiers();
        throw;
    }
    sender.ReleaseLeftoverModifiers();
    return result;
}

bool ActivateWindow(std::string_view title) {
    title = title.substr(0, title.find('\0'));
    KeyPlatform& platform = CurrentKeyPlatform();
    try {
        FoundWindow = platform.FindWindowByTitle(title);
        if (FoundWindow == 0) {
            platform.EnumerateWindows([&platform, title](WindowHandle window) {
                return MatchWindowTitle(platform, window, title);
            });
        }
        if (FoundWindow == 0) {
            return false;
        }
        platform.SendSystemCommand(FoundWindow, SystemCommand::Hotkey, FoundWindow);
        platform.SendSystemCommand(FoundWindow, SystemCommand::Restore, FoundWindow);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace brelmont
