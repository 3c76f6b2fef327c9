// SPDX-License-Identifier: MIT
#include "stakecalc/NumberText.h"

#include "base/Exception.h"

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace brelmont {
namespace {

#include "stakecalc/PowersOfTen.inc"

// x87 control word: all six exceptions masked, 64-bit significands, rounding to nearest.
constexpr std::uint16_t kParseControlWord = 0x037F;
constexpr std::uint16_t kRoundingAndPrecision = 0x0F00;

std::uint16_t ReadControlWord() {
    std::uint16_t word = 0;
    asm volatile("fnstcw %0" : "=m"(word) : : "memory");
    return word;
}

void LoadControlWord(std::uint16_t word) {
    asm volatile("fldcw %0" : : "m"(word) : "memory");
}

void ClearX87Flags() {
    asm volatile("fnclex" : : : "memory");
}

// Every extended operation, logarithm, exponential and double store here runs on the x87 unit, so its status
// word holds all the faults there are to see.
constexpr std::uint16_t kStatusInvalid = 0x0001;
constexpr std::uint16_t kStatusZeroDivide = 0x0004;
constexpr std::uint16_t kStatusOverflow = 0x0008;

std::uint16_t ReadStatusWord() {
    std::uint16_t word = 0;
    asm volatile("fnstsw %0" : "=a"(word) : : "memory");
    return word;
}

// The binary exponent e with 2^e <= x < 2^(e+1), read from the encoding. Domain: finite x > 0.
int BinaryExponent(long double x) {
    unsigned char raw[sizeof(long double)];
    std::memcpy(raw, &x, sizeof raw);
    std::uint64_t significand = 0;
    std::uint16_t exponent = 0;
    std::memcpy(&significand, raw, 8);
    std::memcpy(&exponent, raw + 8, 2);
    if (exponent == 0) {
        return (63 - std::countl_zero(significand)) - 16445;
    }
    return exponent - 16383;
}

// The nearest integer under the current rounding mode. Domain: |x| < 2^63.
std::uint64_t NearestInteger(long double x) {
    std::int64_t n = 0;
    asm("fistpll %0" : "=m"(n) : "t"(x) : "st");
    return static_cast<std::uint64_t>(n);
}

char ReadUserSeparator() {
    char separator = '.';
    if (locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
        const char* point = nl_langinfo_l(RADIXCHAR, user);
        if (point != nullptr && point[0] != '\0' && point[1] == '\0') {
            separator = point[0];
        }
        freelocale(user);
    }
    return separator;
}

char g_separator = ReadUserSeparator();

// Multiplies (n >= 0) or divides (n < 0) by 10^|n| as up to three factors from the tables, in the order
// 10^(m mod 32), 10^(32 * ((m div 32) mod 16)), 10^(512 * (m div 512)). Domain: |n| < 5120.
long double ScaleByPowerOfTen(long double value, std::int64_t n) {
    const auto m = static_cast<std::uint64_t>(n < 0 ? -n : n);
    const std::uint64_t unit = m % 32;
    const std::uint64_t thirtyTwos = (m / 32) % 16;
    const std::uint64_t fiveTwelves = m / 512;
    if (n >= 0) {
        if (unit != 0) {
            value *= kPowersUnit[unit];
        }
        if (thirtyTwos != 0) {
            value *= kPowers32[thirtyTwos];
        }
        if (fiveTwelves != 0) {
            value *= kPowers512[fiveTwelves];
        }
    } else {
        if (unit != 0) {
            value /= kPowersUnit[unit];
        }
        if (thirtyTwos != 0) {
            value /= kPowers32[thirtyTwos];
        }
        if (fiveTwelves != 0) {
            value /= kPowers512[fiveTwelves];
        }
    }
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void RejectFloat(std::string_view text) {
    throw EConvertError(FormatMessage("'%s' is not a valid floating point value", text));
}

[[noreturn]] void RaiseFault(std::uint16_t status) {
    ClearX87Flags();
    if ((status & kStatusInvalid) != 0) {
        throw EInvalidOp();
    }
    if ((status & kStatusZeroDivide) != 0) {
        throw EZeroDivide();
    }
    throw EOverflow();
}

void RaisePendingFault() {
    if (const std::uint16_t status = ReadStatusWord();
        (status & (kStatusInvalid | kStatusZeroDivide | kStatusOverflow)) != 0) {
        RaiseFault(status);
    }
}

// Runs the parse's arithmetic with faults masked, rounding to nearest and 64-bit significands, and gives
// the caller its own control word back however the parse ends. The start-up state already is that control
// word, so the usual case loads nothing.
class ParseEnvironment {
public:
    ParseEnvironment() {
        if (callerWord_ != kParseControlWord) {
            LoadControlWord(kParseControlWord);
        }
    }
    ~ParseEnvironment() {
        if (callerWord_ != kParseControlWord) {
            LoadControlWord(callerWord_);
        }
    }
    ParseEnvironment(const ParseEnvironment&) = delete;
    ParseEnvironment& operator=(const ParseEnvironment&) = delete;

private:
    std::uint16_t callerWord_ = ReadControlWord();
};

// Largest value that can take another digit without leaving the exact 64-bit integers.
constexpr std::uint64_t kExactAccumulatorLimit = (UINT64_MAX - 9) / 10;
constexpr std::int64_t kZeroScale = -5120;

} // namespace

char DecimalSeparator() {
    return g_separator;
}

void RefreshDecimalSeparator() {
    g_separator = ReadUserSeparator();
}

void InitFloatEnvironment() {
    std::fesetenv(FE_DFL_ENV);
    const std::uint16_t word = ReadControlWord();
    if ((word & kRoundingAndPrecision) != (kParseControlWord & kRoundingAndPrecision)) {
        LoadControlWord(static_cast<std::uint16_t>((word & ~kRoundingAndPrecision) |
                                                   (kParseControlWord & kRoundingAndPrecision)));
    }
    std::feclearexcept(FE_ALL_EXCEPT);
}

void ClearFaultFlags() {
    ClearX87Flags();
}

long double StrToFloat(std::string_view text, char separator) {
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Digits are accumulated in text order as value * 10 + digit. While the running value stays below 2^64
    // every step is exact, so integer arithmetic gives the same value as extended arithmetic would; the
    // digits beyond that prefix are left to the extended loop below.
    std::uint64_t exact = 0;
    std::size_t taken = 0;
    const std::size_t integerBegin = i;
    while (i < size && IsDigit(text[i])) {
        if (exact <= kExactAccumulatorLimit) {
            exact = exact * 10 + static_cast<unsigned>(text[i] - '0');
            ++taken;
        }
        ++i;
    }
    const std::size_t integerEnd = i;
    std::size_t fractionBegin = i;
    std::size_t fractionEnd = i;
    bool hasSeparator = false;
    if (i < size && text[i] == separator) {
        hasSeparator = true;
        fractionBegin = ++i;
        while (i < size && IsDigit(text[i])) {
            if (exact <= kExactAccumulatorLimit) {
                exact = exact * 10 + static_cast<unsigned>(text[i] - '0');
                ++taken;
            }
            ++i;
        }
        fractionEnd = i;
    }
    if (integerEnd == integerBegin && !hasSeparator) {
        RejectFloat(text);
    }
    std::int64_t exponent = 0;
    if (i < size && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool exponentNegative = false;
        if (i < size && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        while (i < size && IsDigit(text[i]) && exponent < 500) {
            exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (exponentNegative) {
            exponent = -exponent;
        }
    }
    while (i < size && text[i] == ' ') {
        ++i;
    }
    if (i != size) {
        RejectFloat(text);
    }

    const auto fractionDigits = static_cast<std::int64_t>(fractionEnd - fractionBegin);
    const std::int64_t scale = exponent - fractionDigits;

    const std::size_t integerDigits = integerEnd - integerBegin;
    const std::size_t digitCount = integerDigits + (fractionEnd - fractionBegin);
    auto digitAt = [&](std::size_t index) {
        const std::size_t at =
            index < integerDigits ? integerBegin + index : fractionBegin + (index - integerDigits);
        return static_cast<long double>(text[at] - '0');
    };

    // Invalid operations cannot arise here (no operand is NaN and no infinity meets a zero), and an overflow
    // leaves an infinity that no later step turns finite except the cut to zero, so one flag is enough.
    bool overflowed = false;
    long double result = 0;
    {
        ParseEnvironment environment;
        // Keeps the conversion and everything after it on this side of the control word load.
        asm volatile("" : "+r"(exact) : : "memory");
        long double value = static_cast<long double>(exact);
        for (; taken < digitCount && !std::isinf(value); ++taken) {
            value = value * 10;
            value = value + digitAt(taken);
        }
        overflowed = std::isinf(value);
        if (scale <= kZeroScale) {
            value = 0;
        } else if (scale != 0) {
            value = ScaleByPowerOfTen(value, scale);
            overflowed = overflowed || std::isinf(value);
        }
        // The result must be complete before the caller's control word comes back, and the overflow flag
        // gone before a control word that might unmask it.
        asm volatile("" : "+t"(value) : : "memory");
        result = value;
        if (overflowed) {
            ClearX87Flags();
        }
    }
    if (overflowed) {
        RejectFloat(text);
    }
    return negative ? -result : result;
}

long double StrToFloat(std::string_view text) {
    return StrToFloat(text, g_separator);
}

std::string FloatToStr(long double value, char separator) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0) {
        return "0";
    }
    const bool negative = std::signbit(value);
    const long double magnitude = std::fabs(value);

    // The binary exponent puts the decimal exponent E (10^(E-1) <= |x| < 10^E) within one of this guess;
    // the scaled value tells which.
    constexpr double kLog10Of2 = 0.30102999566398119521;
    int decimalExponent = static_cast<int>(std::floor(BinaryExponent(magnitude) * kLog10Of2)) + 1;
    constexpr std::uint64_t kLow = 100'000'000'000'000'000;
    constexpr std::uint64_t kHigh = 1'000'000'000'000'000'000;
    std::uint64_t digits = 0;
    for (;;) {
        const long double scaled = ScaleByPowerOfTen(magnitude, 18 - decimalExponent);
        if (scaled > 1e18L + 0.5L) {
            ++decimalExponent;
            continue;
        }
        digits = NearestInteger(scaled);
        if (digits < kLow) {
            --decimalExponent;
            continue;
        }
        break;
    }
    if (digits == kHigh) {
        digits /= 10;
        ++decimalExponent;
    }

    // Cut to 15 digits, half up on the sixteenth.
    std::uint64_t kept = digits / 1000;
    if (digits % 1000 >= 500) {
        ++kept;
        if (kept == 1'000'000'000'000'000) {
            kept /= 10;
            ++decimalExponent;
        }
    }
    char buffer[15];
    for (int at = 14; at >= 0; --at) {
        buffer[at] = static_cast<char>('0' + kept % 10);
        kept /= 10;
    }
    int count = 15;
    while (count > 1 && buffer[count - 1] == '0') {
        --count;
    }
    const std::string_view significant(buffer, static_cast<std::size_t>(count));

    std::string out;
    out.reserve(24);
    if (negative) {
        out += '-';
    }
    if (decimalExponent > 15 || decimalExponent < -3) {
        out += significant[0];
        if (count > 1) {
            out += separator;
            out.append(significant.substr(1));
        }
        out += 'E';
        out += std::to_string(decimalExponent - 1);
    } else if (decimalExponent <= 0) {
        out += '0';
        out += separator;
        out.append(static_cast<std::size_t>(-decimalExponent), '0');
        out.append(significant);
    } else {
        const auto whole = static_cast<std::size_t>(decimalExponent);
        if (significant.size() <= whole) {
            out.append(significant);
            out.append(whole - significant.size(), '0');
        } else {
            out.append(significant.substr(0, whole));
            out += separator;
            out.append(significant.substr(whole));
        }
    }
    return out;
}

std::string FloatToStr(long double value) {
    return FloatToStr(value, g_separator);
}

std::int64_t RoundToInteger(long double value) {
    if (std::isnan(value)) {
        throw EInvalidOp();
    }
    const long double nearest = std::rint(value);
    if (!(nearest >= -0x1p63L && nearest < 0x1p63L)) {
        throw EInvalidOp();
    }
    return static_cast<std::int64_t>(nearest);
}

long double Checked(long double value) {
    asm volatile("" : "+t"(value) : : "memory");
    RaisePendingFault();
    return value;
}

double StoreDouble(long double value) {
    asm volatile("" : "+t"(value) : : "memory");
    double stored = static_cast<double>(value);
    asm volatile("" : "+x"(stored) : : "memory");
    RaisePendingFault();
    return stored;
}

// The library's logarithm reports its domain errors outside the x87 status word, so the domain is checked
// here.
long double Ln(long double x) {
    RaisePendingFault();
    if (x == 0) {
        throw EZeroDivide();
    }
    if (!(x > 0)) {
        throw EInvalidOp();
    }
    return Checked(std::log(x));
}

long double Exp(long double x) {
    RaisePendingFault();
    if (std::isnan(x)) {
        throw EInvalidOp();
    }
    const long double result = Checked(std::exp(x));
    if (std::isinf(result) && !std::isinf(x)) {
        throw EOverflow();
    }
    return result;
}

} // namespace brelmont
