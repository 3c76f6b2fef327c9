// SPDX-License-Identifier: MIT
#include "base/Exception.h"

#include "base/testing/RowName.h"

#include <gtest/gtest.h>

namespace {

using ::brelmont::testing::PrintTo;

using brelmont::StrToInt;

struct IntCase {
    const char* name;
    const char* text;
    std::int32_t value;
};

class StrToIntAccepts : public testing::TestWithParam<IntCase> {};

TEST_P(StrToIntAccepts, GivesTheValue) {
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrToIntAccepts,
                         testing::Values(IntCase{"Plain", "42", 42}, IntCase{"LeadingBlanks", "   7", 7},
                                         IntCase{"Plus", "+3", 3}, IntCase{"Minus", "-12", -12},
                                         IntCase{"Largest", "2147483647", 2147483647},
                                         IntCase{"Smallest", "-2147483648", INT32_MIN},
                                         IntCase{"Dollar", "$1F", 31}, IntCase{"LowerX", "x10", 16},
                                         IntCase{"ZeroX", "0X10", 16}, IntCase{"AllOnes", "$FFFFFFFF", -1},
                                         IntCase{"LeadingZeros", "000000000000000012", 12}),
                         brelmont::testing::RowName());

class StrToIntRejects : public testing::TestWithParam<IntCase> {};

TEST_P(StrToIntRejects, WithTheIntegerMessage) {
    try {
        StrToInt(GetParam().text);
        FAIL() << "accepted " << GetParam().text;
    } catch (const brelmont::EConvertError& e) {
        EXPECT_EQ(e.Message(), std::string("'") + GetParam().text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StrToIntRejects,
                         testing::Values(IntCase{"Empty", "", 0}, IntCase{"BlanksOnly", "   ", 0},
                                         IntCase{"SignOnly", "-", 0}, IntCase{"TrailingBlank", "5 ", 0},
                                         IntCase{"Word", "ENTER", 0}, IntCase{"TooLarge", "2147483648", 0},
                                         IntCase{"TooSmall", "-2147483649", 0},
                                         IntCase{"HexTooWide", "$100000000", 0},
                                         IntCase{"DollarOnly", "$", 0}, IntCase{"SignedHex", "-$1", 0},
                                         IntCase{"BadHexDigit", "$1G", 0}),
                         brelmont::testing::RowName());

TEST(ErrorHierarchy, MathErrorsAreExternalAndCarryTheirMessages) {
    const brelmont::EMathError& e = brelmont::EZeroDivide();
    EXPECT_NE(dynamic_cast<const brelmont::EExternal*>(&e), nullptr);
    EXPECT_EQ(brelmont::EInvalidOp().Message(), "Invalid floating point operation");
    EXPECT_EQ(brelmont::EOverflow().Message(), "Floating point overflow");
    EXPECT_EQ(brelmont::EUnderflow().Message(), "Floating point underflow");
    EXPECT_EQ(e.Message(), "Floating point division by zero");
}

} // namespace
