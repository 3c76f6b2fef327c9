// SPDX-License-Identifier: MIT
// Bit-for-bit checks of the conversions against references that share no arithmetic with them: a case file
// computed on exact rationals (tools/make_conversion_cases.py), and glibc's correctly rounded strtold where
// the digit accumulation and a single exact power of ten leave only one rounding.
#include "base/Exception.h"
#include "stakecalc/NumberText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Case {
    std::string kind;
    char separator = ',';
    std::string input;
    std::string expected;
};

std::vector<Case> LoadCases() {
    std::ifstream in(BRELMONT_CONVERSION_CASES);
    std::vector<Case> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> parts;
        std::size_t from = 0;
        for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1) {
            parts.push_back(line.substr(from, tab - from));
        }
        parts.push_back(line.substr(from));
        if (parts.size() == 4 && parts[1].size() == 1) {
            cases.push_back(Case{parts[0], parts[1][0], parts[2], parts[3]});
        }
    }
    return cases;
}

std::string Bits(long double value) {
    unsigned char raw[16] = {};
    std::memcpy(raw, &value, 10);
    std::uint64_t significand = 0;
    std::uint16_t exponent = 0;
    std::memcpy(&significand, raw, 8);
    std::memcpy(&exponent, raw + 8, 2);
    char text[32];
    std::snprintf(text, sizeof text, "%04X:%016llX", exponent, static_cast<unsigned long long>(significand));
    return text;
}

long double FromBits(const std::string& bits) {
    const auto exponent = static_cast<std::uint16_t>(std::stoul(bits.substr(0, 4), nullptr, 16));
    const std::uint64_t significand = std::stoull(bits.substr(5), nullptr, 16);
    long double value = 0;
    unsigned char raw[sizeof(long double)] = {};
    std::memcpy(raw, &significand, 8);
    std::memcpy(raw + 8, &exponent, 2);
    std::memcpy(&value, raw, sizeof raw);
    return value;
}

class ConversionReference : public ::testing::Test {
protected:
    void SetUp() override { brelmont::InitFloatEnvironment(); }
    static const std::vector<Case>& Cases() {
        static const std::vector<Case> cases = LoadCases();
        return cases;
    }
};

TEST_F(ConversionReference, StrToFloatMatchesTheExactModel) {
    int checked = 0;
    for (const Case& c : Cases()) {
        if (c.kind != "parse") {
            continue;
        }
        ++checked;
        std::string got;
        try {
            got = Bits(brelmont::StrToFloat(c.input, c.separator));
        } catch (const brelmont::EConvertError&) {
            got = "reject";
        }
        EXPECT_EQ(got, c.expected) << "text " << c.input.substr(0, 80);
    }
    EXPECT_GT(checked, 2000);
}

TEST_F(ConversionReference, FloatToStrMatchesTheExactModel) {
    int checked = 0;
    for (const Case& c : Cases()) {
        if (c.kind != "format") {
            continue;
        }
        ++checked;
        EXPECT_EQ(brelmont::FloatToStr(FromBits(c.input), c.separator), c.expected) << "bits " << c.input;
    }
    EXPECT_GT(checked, 4000);
}

// Up to 19 digits accumulate exactly and 10^0..10^27 are exact, so the parse rounds once, as strtold does.
TEST_F(ConversionReference, SingleRoundingParsesAgreeWithStrtold) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 19);
        std::string mantissa;
        for (int d = 0; d < digits; ++d) {
            mantissa += static_cast<char>('0' + random() % 10);
        }
        const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
        const int fraction = digits - point;
        const int exponent = static_cast<int>(random() % 55) - 27 + fraction;
        const std::string text = mantissa.substr(0, static_cast<std::size_t>(point)) + "." +
                                 mantissa.substr(static_cast<std::size_t>(point)) + "e" +
                                 std::to_string(exponent);
        const long double expected = std::strtold(text.c_str(), nullptr);
        ASSERT_EQ(Bits(brelmont::StrToFloat(text, '.')), Bits(expected)) << text;
    }
}

// Fifteen digits pin a value down to half a unit in the fifteenth place; the text must get back there.
TEST_F(ConversionReference, FormattedTextsParseBackWithinFifteenDigits) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        const long double value = std::ldexp(static_cast<long double>(random() | (1ULL << 63)) * 0x1p-64L,
                                             static_cast<int>(random() % 32000) - 16000);
        const std::string text = brelmont::FloatToStr(value, ',');
        const long double back = brelmont::StrToFloat(text, ',');
        ASSERT_LE(std::fabs(back - value), std::fabs(value) * 5.1e-15L) << text;
    }
}

} // namespace
