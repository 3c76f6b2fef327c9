// SPDX-License-Identifier: MIT
#include "base/Exception.h"
#include "stakecalc/NumberText.h"

#include <cfenv>
#include <gtest/gtest.h>

namespace {

using brelmont::Checked;
using brelmont::Exp;
using brelmont::Ln;
using brelmont::StoreDouble;

// Operands the compiler cannot see through, so every operation below happens at run time.
volatile long double zero = 0;
volatile long double one = 1;
volatile long double four = 4;

class FloatEnvironment : public ::testing::Test {
protected:
    void SetUp() override { brelmont::InitFloatEnvironment(); }
    void TearDown() override {
        // Whatever a case raised, the unit is usable again once the caller has re-initialised it.
        brelmont::InitFloatEnvironment();
        EXPECT_EQ(StoreDouble(Checked(one / four)), 0.25);
    }
};

TEST_F(FloatEnvironment, FaultsRaiseTheirErrors) {
    EXPECT_THROW(Ln(zero), brelmont::EZeroDivide);
    EXPECT_THROW(Ln(-one), brelmont::EInvalidOp);
    EXPECT_THROW(Checked(zero / zero), brelmont::EInvalidOp);
    EXPECT_THROW(Checked(one / zero), brelmont::EZeroDivide);
    EXPECT_THROW(StoreDouble(Exp(800 * one)), brelmont::EOverflow);
    EXPECT_THROW(Exp(12000 * one), brelmont::EOverflow);
}

TEST_F(FloatEnvironment, MaskedConditionsStaySilent) {
    EXPECT_EQ(StoreDouble(Exp(-800 * one)), 0.0);
    EXPECT_EQ(Exp(-12000 * one), 0.0L);
    EXPECT_EQ(StoreDouble(Checked(one / 3)), 1.0 / 3.0);
    EXPECT_EQ(StoreDouble(Checked(one * 0x1p-16440L)), 0.0);
    EXPECT_EQ(Checked(one * 0x1p-16440L * 0x1p-10L), 0.0L) << "underflow of a subnormal operand";
}

TEST_F(FloatEnvironment, DoubleStoreOverflowsOnlyBeyondTheDoubleRange) {
    EXPECT_THROW(StoreDouble(Checked(one * 1e309L)), brelmont::EOverflow);
    EXPECT_THROW(StoreDouble(Checked(-one * 1e309L)), brelmont::EOverflow);
    EXPECT_EQ(StoreDouble(Checked(one * 0x1.fffffffffffffp1023L)), 0x1.fffffffffffffp1023);
    EXPECT_EQ(StoreDouble(Checked(one * 0x1.fffffffffffff7fep1023L)), 0x1.fffffffffffffp1023)
        << "rounds down onto the largest double";
    EXPECT_THROW(StoreDouble(Checked(one * 0x1.fffffffffffff8p1023L)), brelmont::EOverflow)
        << "the tie rounds to even, which is beyond the range";
}

TEST_F(FloatEnvironment, StaleFlagsFromOutsideAreClearedBeforeAStep) {
    std::feraiseexcept(FE_INVALID | FE_DIVBYZERO);
    brelmont::ClearFaultFlags();
    EXPECT_EQ(Checked(one + 1), 2.0L);
}

TEST_F(FloatEnvironment, StartUpStateIsExtendedPrecisionRoundingToNearest) {
    std::fesetround(FE_TOWARDZERO);
    std::feraiseexcept(FE_OVERFLOW);
    brelmont::InitFloatEnvironment();
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
    EXPECT_EQ(Checked(one + 0x1p-63L), 1.0L + 0x1p-63L) << "64-bit significands";
}

} // namespace
