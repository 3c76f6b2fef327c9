// SPDX-License-Identifier: MIT
// The virtual-key codes that key strings name, the table of key names that "{...}" accepts, and the set of
// keys whose events carry the extended-key flag. Read by SendKeys and by the platforms that map these codes
// onto real keys.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

namespace brelmont {

namespace vk {
inline constexpr std::uint8_t Cancel = 0x03;
inline constexpr std::uint8_t Back = 0x08;
inline constexpr std::uint8_t Tab = 0x09;
inline constexpr std::uint8_t Clear = 0x0C;
inline constexpr std::uint8_t Return = 0x0D;
inline constexpr std::uint8_t Shift = 0x10;
inline constexpr std::uint8_t Control = 0x11;
inline constexpr std::uint8_t Menu = 0x12; // Alt
inline constexpr std::uint8_t Pause = 0x13;
inline constexpr std::uint8_t Capital = 0x14;
inline constexpr std::uint8_t Escape = 0x1B;
inline constexpr std::uint8_t Space = 0x20;
inline constexpr std::uint8_t Prior = 0x21;
inline constexpr std::uint8_t Next = 0x22;
inline constexpr std::uint8_t End = 0x23;
inline constexpr std::uint8_t Home = 0x24;
inline constexpr std::uint8_t Left = 0x25;
inline constexpr std::uint8_t Up = 0x26;
inline constexpr std::uint8_t Right = 0x27;
inline constexpr std::uint8_t Down = 0x28;
inline constexpr std::uint8_t Print = 0x2A;
inline constexpr std::uint8_t Snapshot = 0x2C;
inline constexpr std::uint8_t Insert = 0x2D;
inline constexpr std::uint8_t Delete = 0x2E;
inline constexpr std::uint8_t Help = 0x2F;
inline constexpr std::uint8_t Numpad0 = 0x60; // to Numpad9 0x69
inline constexpr std::uint8_t Multiply = 0x6A;
inline constexpr std::uint8_t Add = 0x6B;
inline constexpr std::uint8_t Separator = 0x6C;
inline constexpr std::uint8_t Subtract = 0x6D;
inline constexpr std::uint8_t Decimal = 0x6E;
inline constexpr std::uint8_t Divide = 0x6F;
inline constexpr std::uint8_t F1 = 0x70; // to F16 0x7F
inline constexpr std::uint8_t NumLock = 0x90;
inline constexpr std::uint8_t Scroll = 0x91;
inline constexpr std::uint8_t Oem1 = 0xBA;      // ; and :
inline constexpr std::uint8_t OemPlus = 0xBB;   // = and +
inline constexpr std::uint8_t OemComma = 0xBC;  // , and <
inline constexpr std::uint8_t OemMinus = 0xBD;  // - and _
inline constexpr std::uint8_t OemPeriod = 0xBE; // . and >
inline constexpr std::uint8_t Oem2 = 0xBF;      // / and ?
inline constexpr std::uint8_t Oem3 = 0xC0;      // ` and ~
inline constexpr std::uint8_t Oem4 = 0xDB;      // [ and {
inline constexpr std::uint8_t Oem5 = 0xDC;      // \ and |
inline constexpr std::uint8_t Oem6 = 0xDD;      // ] and }
inline constexpr std::uint8_t Oem7 = 0xDE;      // ' and "
} // namespace vk

struct KeyName {
    std::string_view Name; // upper-case ASCII, at most 10 characters
    std::uint8_t VirtualKey = 0;
};

// Several names share one key; the order is alphabetical.
extern const std::array<KeyName, 41> KeyNameTable;

// PgUp, PgDn, End, Home, the four arrows, Insert and Delete.
extern const std::bitset<256> ExtendedKeys;

} // namespace brelmont
