// SPDX-License-Identifier: MIT
#include "sendkeys/KeyTables.h"

namespace brelmont {

const std::array<KeyName, 41> KeyNameTable = {{
    {"BACKSPACE", vk::Back},
    {"BKSP", vk::Back},
    {"BREAK", vk::Cancel},
    {"BS", vk::Back},
    {"CAPSLOCK", vk::Capital},
    {"CLEAR", vk::Clear},
    {"DEL", vk::Delete},
    {"DELETE", vk::Delete},
    {"DOWN", vk::Down},
    {"END", vk::End},
    {"ENTER", vk::Return},
    {"ESC", vk::Escape},
    {"ESCAPE", vk::Escape},
    {"F1", 0x70},
    {"F2", 0x71},
    {"F3", 0x72},
    {"F4", 0x73},
    {"F5", 0x74},
    {"F6", 0x75},
    {"F7", 0x76},
    {"F8", 0x77},
    {"F9", 0x78},
    {"F10", 0x79},
    {"F11", 0x7A},
    {"F12", 0x7B},
    {"F13", 0x7C},
    {"F14", 0x7D},
    {"F15", 0x7E},
    {"F16", 0x7F},
    {"HELP", vk::Help},
    {"HOME", vk::Home},
    {"INS", vk::Insert},
    {"LEFT", vk::Left},
    {"NUMLOCK", vk::NumLock},
    {"PGDN", vk::Next},
    {"PGUP", vk::Prior},
    {"PRTSC", vk::Print},
    {"RIGHT", vk::Right},
    {"SCROLLLOCK", vk::Scroll},
    {"TAB", vk::Tab},
    {"UP", vk::Up},
}};

// PgUp to Down are 0x21 to 0x28; Insert and Delete are 0x2D and 0x2E.
constexpr std::bitset<256> ExtendedKeys{(0xFFull << vk::Prior) | (3ull << vk::Insert)};

} // namespace brelmont
