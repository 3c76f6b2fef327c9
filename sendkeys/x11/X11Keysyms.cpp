// SPDX-License-Identifier: MIT
#include "sendkeys/x11/X11Keysyms.h"

#include "sendkeys/KeyTables.h"

#include <X11/keysym.h>

namespace brelmont {

namespace {

// Keys that come in runs: digits, letters, keypad digits and function keys.
KeySym KeysymOfKeyRun(unsigned key) {
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
    return NoSymbol;
}

// Typing, modifier and lock keys, both sides of each modifier.
KeySym KeysymOfControlKey(unsigned key) {
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
    default:
        return NoSymbol;
    }
}

// Moving, editing and system keys.
KeySym KeysymOfNavigationKey(unsigned key) {
    switch (key) {
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
    default:
        return NoSymbol;
    }
}

// The keypad's operators and locks, and the punctuation keys of the main block.
KeySym KeysymOfSymbolKey(unsigned key) {
    switch (key) {
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

} // namespace

KeySym KeysymOfVirtualKey(unsigned key) {
    for (const auto lookup : {KeysymOfKeyRun, KeysymOfControlKey, KeysymOfNavigationKey, KeysymOfSymbolKey}) {
        if (const KeySym symbol = lookup(key); symbol != NoSymbol) {
            return symbol;
        }
    }
    return NoSymbol;
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

} // namespace brelmont
