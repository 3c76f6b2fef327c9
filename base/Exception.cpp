// SPDX-License-Identifier: MIT
#include "base/Exception.h"

#include "base/Text.h"

namespace brelmont {

std::string FormatMessage(std::string_view pattern, std::string_view argument) {
    std::string out(pattern);
    if (auto at = out.find("%s"); at != std::string::npos) {
        out.replace(at, 2, argument);
    }
    return out;
}

EConvertError InvalidInteger(std::string_view text) {
    return EConvertError(FormatMessage("'%s' is not a valid integer value", text));
}

std::int32_t StrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    auto rest = text.substr(i);
    bool hex = false;
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        hex = true;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        hex = true;
        rest.remove_prefix(2);
    }
    if (hex) {
        if (rest.empty()) {
            throw InvalidInteger(text);
        }
        std::uint64_t value = 0;
        for (char c : rest) {
            int digit = -1;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            }
            if (digit < 0) {
                throw InvalidInteger(text);
            }
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFu) {
                throw InvalidInteger(text);
            }
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    if (const auto value = ParseDecimalInt32(rest)) {
        return *value;
    }
    throw InvalidInteger(text);
}

} // namespace brelmont
