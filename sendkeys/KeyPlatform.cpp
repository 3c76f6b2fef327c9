// SPDX-License-Identifier: MIT
#include "sendkeys/KeyPlatform.h"

namespace brelmont {

namespace {

class SilentKeyPlatform final : public KeyPlatform {
public:
    void KeyEvent(std::uint8_t, std::uint8_t, std::uint32_t) override {}
    unsigned ScanCode(std::uint8_t) override { return 0; }
    KeyCode KeyCodeForCharacter(char character) override { return UsLayoutKeyCode(character); }
    std::uint16_t KeyState(std::uint8_t virtualKey) override { return state[virtualKey] & 1u; }
    void ReadKeyboardState(KeyboardState& out) override { out = state; }
    void WriteKeyboardState(const KeyboardState& in) override { state = in; }
    bool TakeKeyboardMessage(KeyMessage&) override { return false; }
    void TranslateKeyboardMessage(const KeyMessage&) override {}
    void DispatchKeyboardMessage(const KeyMessage&) override {}
    void ShowMessageBox(std::string_view, std::string_view) override {}
    WindowHandle FindWindowByTitle(std::string_view) override { return 0; }
    void EnumerateWindows(const std::function<bool(WindowHandle)>&) override {}
    std::string WindowTitle(WindowHandle, std::size_t) override { return {}; }
    void SendSystemCommand(WindowHandle, SystemCommand, WindowHandle) override {}

private:
    KeyboardState state{};
};

SilentKeyPlatform silentPlatform;
KeyPlatform* currentPlatform = &silentPlatform;

constexpr KeyCode WithShift = 0x100;
constexpr KeyCode WithControl = 0x200;

// Keys of the US layout for the printable characters from 0x20 to 0x7E, in character order.
constexpr std::array<KeyCode, 95> usPrintable = {
    0x020,
    0x031 | WithShift,
    0x0DE | WithShift,
    0x033 | WithShift,
    0x034 | WithShift, // space ! " # $
    0x035 | WithShift,
    0x037 | WithShift,
    0x0DE,
    0x039 | WithShift,
    0x030 | WithShift, // % & ' ( )
    0x038 | WithShift,
    0x0BB | WithShift,
    0x0BC,
    0x0BD,
    0x0BE,
    0x0BF, // * + , - . /
    0x030,
    0x031,
    0x032,
    0x033,
    0x034,
    0x035,
    0x036,
    0x037,
    0x038,
    0x039, // 0 to 9
    0x0BA | WithShift,
    0x0BA,
    0x0BC | WithShift,
    0x0BB,
    0x0BE | WithShift,
    0x0BF | WithShift, // : ; < = > ?
    0x032 | WithShift, // @
    0x141,
    0x142,
    0x143,
    0x144,
    0x145,
    0x146,
    0x147,
    0x148,
    0x149,
    0x14A,
    0x14B,
    0x14C,
    0x14D, // A to M
    0x14E,
    0x14F,
    0x150,
    0x151,
    0x152,
    0x153,
    0x154,
    0x155,
    0x156,
    0x157,
    0x158,
    0x159,
    0x15A, // N to Z
    0x0DB,
    0x0DC,
    0x0DD,
    0x036 | WithShift,
    0x0BD | WithShift,
    0x0C0, // [ \ ] ^ _ `
    0x041,
    0x042,
    0x043,
    0x044,
    0x045,
    0x046,
    0x047,
    0x048,
    0x049,
    0x04A,
    0x04B,
    0x04C,
    0x04D, // a to m
    0x04E,
    0x04F,
    0x050,
    0x051,
    0x052,
    0x053,
    0x054,
    0x055,
    0x056,
    0x057,
    0x058,
    0x059,
    0x05A, // n to z
    0x0DB | WithShift,
    0x0DC | WithShift,
    0x0DD | WithShift,
    0x0C0 | WithShift, // { | } ~
};

} // namespace

void SetKeyPlatform(KeyPlatform* platform) {
    currentPlatform = platform != nullptr ? platform : &silentPlatform;
}

KeyPlatform& CurrentKeyPlatform() {
    return *currentPlatform;
}

KeyCode UsLayoutKeyCode(char character) {
    const auto c = static_cast<unsigned char>(character);
    if (c >= 0x20 && c <= 0x7E) {
        return usPrintable[c - 0x20u];
    }
    switch (c) {
    case 0x08:
        return 0x08;
    case 0x09:
        return 0x09;
    case 0x0A:
        return 0x0D | WithControl;
    case 0x0D:
        return 0x0D;
    case 0x1B:
        return 0xDB | WithControl;
    case 0x1C:
        return 0xDC | WithControl;
    case 0x1D:
        return 0xDD | WithControl;
    case 0x1E:
        return 0x36 | WithControl | WithShift;
    case 0x1F:
        return 0xBD | WithControl | WithShift;
    case 0x7F:
        return 0x08 | WithControl;
    default:
        break;
    }
    if (c >= 0x01 && c <= 0x1A) {
        return static_cast<KeyCode>((0x40u + c) | WithControl);
    }
    return NoKey;
}

} // namespace brelmont
