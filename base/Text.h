// SPDX-License-Identifier: MIT
// Small text rules that several modules share: ASCII-only case folding (window classes, key names, titles and
// address schemes are compared this way, so that a Cyrillic letter never matches another by accident),
// cutting UTF-8 without splitting a character, and the strict decimal integer of the help archive's size
// field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brelmont {

constexpr char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal length and equal bytes once the Latin letters are folded; every other byte compares as it is.
bool SameTextAsciiCase(std::string_view a, std::string_view b);

// True when `text` begins with `prefix` under the same folding.
bool StartsWithAsciiCase(std::string_view text, std::string_view prefix);

// The longest start of a UTF-8 text that holds at most maxCharacters characters and ends on a character
// boundary.
std::string_view CutUtf8(std::string_view text, std::size_t maxCharacters);

// The longest start of a UTF-8 text that holds at most maxBytes bytes and ends on a character boundary.
std::string_view CutUtf8Bytes(std::string_view text, std::size_t maxBytes);

// An optional "+" or "-" and then only decimal digits, within the signed 32-bit range; nothing else (no
// blanks, no hexadecimal). Answers nothing for any other text.
std::optional<std::int32_t> ParseDecimalInt32(std::string_view text);

} // namespace brelmont
