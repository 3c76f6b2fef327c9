// SPDX-License-Identifier: MIT
#include "base/Text.h"

#include <algorithm>

namespace brelmont {

namespace {

// Continuation bytes belong to the character before them.
bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

bool SameLetter(char x, char y) {
    return LowerAscii(x) == LowerAscii(y);
}

} // namespace

bool SameTextAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameLetter);
}

bool StartsWithAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string_view CutUtf8(std::string_view text, std::size_t maxCharacters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsUtf8Continuation(text[i])) {
            if (count == maxCharacters) {
                return text.substr(0, i);
            }
            ++count;
        }
    }
    return text;
}

std::string_view CutUtf8Bytes(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t cut = maxBytes;
    while (cut > 0 && IsUtf8Continuation(text[cut])) {
        --cut;
    }
    return text.substr(0, cut);
}

std::optional<std::int32_t> ParseDecimalInt32(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // The negative side reaches one further than the positive one.
    const std::int64_t limit = std::int64_t{INT32_MAX} + (negative ? 1 : 0);
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace brelmont
