// SPDX-License-Identifier: MIT
// Every canonical 80-bit value formats without failing, and a finite value's text parses back to within
// the fifteen-digit rounding of the original.
#include "stakecalc/NumberText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10) {
        return 0;
    }
    std::uint64_t significand = 0;
    std::uint16_t exponent = 0;
    std::memcpy(&significand, data, 8);
    std::memcpy(&exponent, data + 8, 2);
    // Canonical encodings only: the explicit integer bit is set exactly when the exponent field is not 0.
    constexpr std::uint64_t kIntegerBit = 1ULL << 63;
    significand = (exponent & 0x7FFF) != 0 ? significand | kIntegerBit : significand & ~kIntegerBit;
    unsigned char raw[sizeof(long double)] = {};
    std::memcpy(raw, &significand, 8);
    std::memcpy(raw + 8, &exponent, 2);
    long double value = 0;
    std::memcpy(&value, raw, sizeof raw);

    const char separator = size > 10 && (data[10] & 1) != 0 ? '.' : ',';
    const std::string text = brelmont::FloatToStr(value, separator);
    if (!std::isfinite(value)) {
        return 0;
    }
    const long double back = brelmont::StrToFloat(text, separator);
    const long double allowed = std::fabs(value) * 5.01e-15L + std::numeric_limits<long double>::denorm_min();
    if (!(std::fabs(back - value) <= allowed) || (value != 0 && std::signbit(back) != std::signbit(value))) {
        std::abort();
    }
    return 0;
}
