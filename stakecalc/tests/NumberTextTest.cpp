// SPDX-License-Identifier: MIT
#include "stakecalc/NumberText.h"

#include "base/Exception.h"
#include "base/testing/RowName.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

using ::brelmont::testing::PrintTo;

using brelmont::FloatToStr;
using brelmont::RoundToInteger;
using brelmont::StrToFloat;

class NumberText : public ::testing::Test {
protected:
    void SetUp() override { brelmont::InitFloatEnvironment(); }
};

struct ParseCase {
    const char* name;
    std::string text;
    long double value;
};

class StrToFloatAccepts : public NumberText, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(StrToFloatAccepts, GivesTheValue) {
    const long double value = StrToFloat(GetParam().text, ',');
    EXPECT_EQ(value, GetParam().value) << GetParam().text;
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Comma, StrToFloatAccepts,
    ::testing::Values(ParseCase{"BlanksAround", " 12,5 ", 12.5L}, ParseCase{"PlusSign", "+7", 7},
                      ParseCase{"NegativeFraction", "-0,25", -0.25L}, ParseCase{"NoIntegerPart", ",5", 0.5L},
                      ParseCase{"NoFractionDigits", "5,", 5}, ParseCase{"SeparatorAlone", ",", 0},
                      ParseCase{"Exponent", "1e3", 1000}, ParseCase{"NegativeExponent", "2,5E-2", 0.025L},
                      ParseCase{"ExponentWithoutDigits", "7e", 7}, ParseCase{"ExponentSignOnly", "7e+", 7},
                      ParseCase{"NegativeZero", "-0", -0.0L}, ParseCase{"ManyBlanks", "     3     ", 3},
                      ParseCase{"ExponentLeadingZeros", "1e0000000000002", 100},
                      ParseCase{"FourDigitExponentReadWhole", "1e-4999", 0},
                      ParseCase{"ExtendedOnly", "1e0500", 1e20L * 1e480L},
                      ParseCase{"BelowDouble", "1e-400", 1.0L / 1e16L / 1e384L},
                      ParseCase{"ScaleBeyondRangeIsZero", "0," + std::string(130, '0') + "1e-4999", 0},
                      ParseCase{"NegativeScaleBeyondRange", "-," + std::string(121, '7') + "e-4999", -0.0L},
                      ParseCase{"ZerosThenDigits", std::string(3000, '0') + "42", 42},
                      ParseCase{"Subnormal", "3,6451995318824746025e-4951",
                                std::numeric_limits<long double>::denorm_min()}),
    brelmont::testing::RowName());

struct RejectCase {
    const char* name;
    std::string text;
};

class StrToFloatRejects : public NumberText, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(StrToFloatRejects, WithTheConversionMessage) {
    try {
        StrToFloat(GetParam().text, ',');
        FAIL() << "accepted " << GetParam().text;
    } catch (const brelmont::EConvertError& e) {
        const std::string expected = "'" + GetParam().text + "' is not a valid floating point value";
        EXPECT_STREQ(e.what(), expected.c_str());
    }
    EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Comma, StrToFloatRejects,
    ::testing::Values(
        RejectCase{"Empty", ""}, RejectCase{"BlanksOnly", "   "}, RejectCase{"FullStop", "12.5"},
        RejectCase{"BlankBetweenDigits", "1 000"}, RejectCase{"BlankAfterSign", "- 5"},
        RejectCase{"TwoSigns", "+-5"}, RejectCase{"DoubleMinus", "--5"}, RejectCase{"LeadingTab", "\t5"},
        RejectCase{"TrailingTab", "5\t"}, RejectCase{"BlankBeforeExponent", "1 e5"},
        RejectCase{"Hexadecimal", "0x10"}, RejectCase{"ExponentTooLong", "1e5000"},
        RejectCase{"ExponentDigitsAfterStop", "1e00049999"}, RejectCase{"BeyondExtended", "1e4999"},
        RejectCase{"Word", "abc"}, RejectCase{"SignOnly", "-"}, RejectCase{"ExponentOnly", "e5"},
        RejectCase{"TwoSeparators", "1,2,3"}, RejectCase{"EmbeddedNul", std::string("1\0", 2)},
        RejectCase{"InvalidUtf8", "5\xC3"}, RejectCase{"DigitsOverflow", std::string(5000, '9')},
        RejectCase{"DigitsOverflowDespiteScale", std::string(5000, '9') + "e-4999"}),
    brelmont::testing::RowName());

TEST_F(NumberText, FullStopSeparatorSwapsWhatIsAccepted) {
    EXPECT_EQ(StrToFloat("12.5", '.'), 12.5L);
    EXPECT_THROW(StrToFloat("12,5", '.'), brelmont::EConvertError);
    EXPECT_EQ(FloatToStr(12.5L, '.'), "12.5");
    EXPECT_EQ(FloatToStr(1.5e-5L, '.'), "1.5E-5");
}

TEST_F(NumberText, ParseKeepsTheCallersSettingsAndLeavesNoFault) {
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    std::feraiseexcept(FE_INEXACT);
    EXPECT_EQ(StrToFloat("0,7", ','), 0.7L) << "rounds to nearest whatever the caller set";
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    EXPECT_THROW(StrToFloat("1e4999", ','), brelmont::EConvertError);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT & ~FE_INEXACT), 0);
    brelmont::InitFloatEnvironment();
}

TEST_F(NumberText, ProcessSeparatorVariantsFollowDecimalSeparator) {
    const char separator = brelmont::DecimalSeparator();
    const std::string text = std::string("2") + separator + "5";
    EXPECT_EQ(StrToFloat(text), 2.5L);
    EXPECT_EQ(FloatToStr(2.5L), text);
}

TEST_F(NumberText, SeparatorFallsBackToFullStop) {
    const char* saved = std::getenv("LC_ALL");
    const std::string restore = saved != nullptr ? saved : "";
    for (const char* locale : {"C", "xx_NOWHERE.UTF-8"}) {
        setenv("LC_ALL", locale, 1);
        brelmont::RefreshDecimalSeparator();
        EXPECT_EQ(brelmont::DecimalSeparator(), '.') << locale;
    }
    if (saved != nullptr) {
        setenv("LC_ALL", restore.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
    brelmont::RefreshDecimalSeparator();
}

struct FormatCase {
    const char* name;
    long double value;
    const char* text;
};

class FloatToStrGives : public NumberText, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FloatToStrGives, TheText) {
    EXPECT_EQ(FloatToStr(GetParam().value, ','), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Comma, FloatToStrGives,
    ::testing::Values(FormatCase{"Zero", 0.0L, "0"}, FormatCase{"NegativeZero", -0.0L, "0"},
                      FormatCase{"Fraction", 12.5L, "12,5"}, FormatCase{"Integer", 100, "100"},
                      FormatCase{"SmallFraction", 0.07L, "0,07"}, FormatCase{"Negative", -3.25L, "-3,25"},
                      FormatCase{"Millions", 1234567.89L, "1234567,89"},
                      FormatCase{"SmallestPlain", 0.0001L, "0,0001"},
                      FormatCase{"LargestScientificSmall", 0.00001L, "1E-5"},
                      FormatCase{"ScientificWithFraction", 0.000015L, "1,5E-5"},
                      FormatCase{"TenToFifteen", 1e15L, "1E15"},
                      FormatCase{"FifteenDigits", 123456789012345.0L, "123456789012345"},
                      FormatCase{"SixteenDigits", 1234567890123456.0L, "1,23456789012346E15"},
                      FormatCase{"CarriesIntoScientific", 999999999999999.9L, "1E15"},
                      FormatCase{"HalfUpOnSixteenth", 100000000000000.5L, "100000000000001"},
                      FormatCase{"TwoThirds", 2.0L / 3.0L, "0,666666666666667"},
                      FormatCase{"DoubleSum", static_cast<long double>(0.1 + 0.2), "0,3"},
                      FormatCase{"Infinity", std::numeric_limits<long double>::infinity(), "INF"},
                      FormatCase{"NegativeInfinity", -std::numeric_limits<long double>::infinity(), "-INF"},
                      FormatCase{"NotANumber", std::numeric_limits<long double>::quiet_NaN(), "NAN"},
                      FormatCase{"NegativeNotANumber", -std::numeric_limits<long double>::quiet_NaN(), "NAN"},
                      FormatCase{"Largest", std::numeric_limits<long double>::max(), "1,18973149535723E4932"},
                      FormatCase{"SmallestSubnormal", std::numeric_limits<long double>::denorm_min(),
                                 "3,64519953188247E-4951"},
                      FormatCase{"TrailingZerosFill", 1.5e14L, "150000000000000"},
                      FormatCase{"NegativeScientific", -2.5e-7L, "-2,5E-7"}),
    brelmont::testing::RowName());

struct RoundCase {
    const char* name;
    long double value;
    std::int64_t rounded;
};

class RoundToIntegerGives : public NumberText, public ::testing::WithParamInterface<RoundCase> {};

TEST_P(RoundToIntegerGives, TheNearestTiesToEven) {
    EXPECT_EQ(RoundToInteger(GetParam().value), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundToIntegerGives,
                         ::testing::Values(RoundCase{"HalfDown", 2.5L, 2}, RoundCase{"HalfUp", 3.5L, 4},
                                           RoundCase{"NegativeHalf", -2.5L, -2},
                                           RoundCase{"Hundredths", 1234.5L, 1234},
                                           RoundCase{"Smallest", -0x1p63L, INT64_MIN},
                                           RoundCase{"LargestBelowLimit", 0x1p63L - 1, INT64_MAX},
                                           RoundCase{"JustBelowHalf", 0.49999999999999999997L, 0}),
                         brelmont::testing::RowName());

TEST_F(NumberText, RoundToIntegerRejectsWhatHasNoInt64) {
    for (long double value :
         {0x1p63L, 0x1p63L - 0.5L, -0x1p63L - 1, std::numeric_limits<long double>::infinity(),
          std::numeric_limits<long double>::quiet_NaN()}) {
        EXPECT_THROW(RoundToInteger(value), brelmont::EInvalidOp) << static_cast<double>(value);
    }
}

} // namespace
