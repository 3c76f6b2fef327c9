// SPDX-License-Identifier: MIT
// Odds texts in the three forms bettors meet, the refusals a bettor reads for a slip, showing odds back in
// each form, and the effective odds after an exchange's commission.
#include "multibet/Odds.h"

#include "base/Exception.h"
#include "base/testing/RowName.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;
using testing::RowName;

struct ReadRow {
    const char* name;
    const char* text;
    double decimal;
    OddsForm form;
};

class OddsRead : public ::testing::TestWithParam<ReadRow> {};

TEST_P(OddsRead, GivesDecimalOddsAndTheForm) {
    const ReadRow& row = GetParam();
    const Odds odds = ParseOdds(row.text);
    EXPECT_NEAR(odds.decimal, row.decimal, 1e-12);
    EXPECT_EQ(odds.form, row.form);
}

INSTANTIATE_TEST_SUITE_P(Forms, OddsRead,
                         ::testing::Values(ReadRow{"DecimalComma", "2,5", 2.5, OddsForm::Decimal},
                                           ReadRow{"DecimalPoint", "2.5", 2.5, OddsForm::Decimal},
                                           ReadRow{"WholeDecimal", "3", 3, OddsForm::Decimal},
                                           ReadRow{"BlanksAround", "  1,91\t", 1.91, OddsForm::Decimal},
                                           ReadRow{"Fraction", "5/2", 3.5, OddsForm::Fractional},
                                           ReadRow{"OddsOn", "1/2", 1.5, OddsForm::Fractional},
                                           ReadRow{"FractionWithBlanks", "11 / 8", 2.375,
                                                   OddsForm::Fractional},
                                           ReadRow{"AmericanUnderdog", "+150", 2.5, OddsForm::American},
                                           ReadRow{"AmericanFavourite", "-200", 1.5, OddsForm::American},
                                           ReadRow{"AmericanEvensPlus", "+100", 2, OddsForm::American},
                                           ReadRow{"AmericanEvensMinus", "-100", 2, OddsForm::American}),
                         RowName());

struct RefuseRow {
    const char* name;
    std::string text;
    const char* says;
};

class OddsRefused : public ::testing::TestWithParam<RefuseRow> {};

TEST_P(OddsRefused, NamesTheValueAndWhy) {
    const RefuseRow& row = GetParam();
    try {
        ParseOdds(row.text);
        FAIL() << "accepted";
    } catch (const EConvertError& error) {
        const std::string message = error.Message();
        EXPECT_EQ(message.rfind("Коэффициент «", 0), 0U) << message;
        EXPECT_NE(message.find(row.says), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Slips, OddsRefused,
    ::testing::Values(RefuseRow{"Zero", "0", "«0» не распознан: коэффициент должен быть больше 1"},
                      RefuseRow{"One", "1,0", "больше 1"}, RefuseRow{"BelowOne", "0,5", "больше 1"},
                      RefuseRow{"NegativeDecimal", "-2,5", "американский"},
                      RefuseRow{"ZeroDenominator", "1/0", "«1/0» не распознан: знаменатель дроби равен нулю"},
                      RefuseRow{"ZeroFraction", "0/5", "больше 1"},
                      RefuseRow{"AmericanUnderHundred", "+50", "«+50» не распознан: американский"},
                      RefuseRow{"Text", "abc", "ожидается десятичный"}, RefuseRow{"Empty", "  ", "пустое"},
                      RefuseRow{"TwoSeparators", "2,5,1", "ожидается"},
                      RefuseRow{"Exponent", "2e3", "ожидается"},
                      RefuseRow{"TwoSlashes", "5/2/1", "ожидается"}, RefuseRow{"SignOnly", "+", "ожидается"},
                      RefuseRow{"Huge", "2000000", "больше 1000000"},
                      RefuseRow{"TooLong", std::string(200, '1'), "длиннее 32 знаков"}),
    RowName());

struct ShowRow {
    const char* name;
    double decimal;
    OddsForm form;
    const char* text;
};

class OddsShown : public ::testing::TestWithParam<ShowRow> {};

TEST_P(OddsShown, AsTheBettorWouldWriteThem) {
    const ShowRow& row = GetParam();
    EXPECT_EQ(FormatOdds(row.decimal, row.form), row.text);
}

INSTANTIATE_TEST_SUITE_P(Forms, OddsShown,
                         ::testing::Values(ShowRow{"DecimalComma", 2.5, OddsForm::Decimal, "2,5"},
                                           ShowRow{"DecimalFourPlaces", 1.123456, OddsForm::Decimal,
                                                   "1,1235"},
                                           ShowRow{"DecimalWhole", 3, OddsForm::Decimal, "3"},
                                           ShowRow{"FiveToTwo", 3.5, OddsForm::Fractional, "5/2"},
                                           ShowRow{"ElevenToEight", 2.375, OddsForm::Fractional, "11/8"},
                                           ShowRow{"EvensFraction", 2, OddsForm::Fractional, "1/1"},
                                           ShowRow{"OddsOnFraction", 1.5, OddsForm::Fractional, "1/2"},
                                           ShowRow{"AmericanPlus", 2.5, OddsForm::American, "+150"},
                                           ShowRow{"AmericanMinus", 1.5, OddsForm::American, "-200"},
                                           ShowRow{"AmericanEvens", 2, OddsForm::American, "+100"}),
                         RowName());

// Shown and read back, odds come home: exactly for decimal and fractional texts, to the American form's
// whole-number rounding otherwise.
TEST(OddsRoundTrip, EveryFormReadsBackItsOwnText) {
    for (const double decimal :
         {1.01, 1.1, 1.25, 1.5, 1.8333, 1.91, 2.0, 2.2, 2.375, 3.5, 4.3, 7.5, 21.0, 101.0, 1001.0}) {
        for (const OddsForm form : {OddsForm::Decimal, OddsForm::Fractional, OddsForm::American}) {
            const Odds back = ParseOdds(FormatOdds(decimal, form));
            EXPECT_EQ(back.form, form) << decimal;
            const double tolerance =
                form == OddsForm::American ? 0.006 * (decimal - 1) * decimal : 1e-4 * decimal;
            EXPECT_NEAR(back.decimal, decimal, tolerance) << decimal << " " << FormatOdds(decimal, form);
        }
    }
    for (const char* text : {"2,5", "5/2", "+150", "-200", "11/8", "1,91"}) {
        const Odds odds = ParseOdds(text);
        EXPECT_EQ(ParseOdds(FormatOdds(odds.decimal, odds.form)).decimal, odds.decimal) << text;
    }
}

TEST(OddsShownOutsideTheirRange, AreRefused) {
    EXPECT_THROW(FormatOdds(1, OddsForm::Decimal), EConvertError);
    EXPECT_THROW(FormatOdds(std::nan(""), OddsForm::Fractional), EConvertError);
    EXPECT_THROW(FormatOdds(2e6, OddsForm::American), EConvertError);
}

TEST(EffectiveOddsAfterCommission, KeepTheStakeAndCutTheProfit) {
    EXPECT_DOUBLE_EQ(EffectiveOdds(2.1, 0.05), 2.045);
    EXPECT_DOUBLE_EQ(EffectiveOdds(3, 0), 3);
    EXPECT_THROW(EffectiveOdds(2, 1), EConvertError);
    EXPECT_THROW(EffectiveOdds(2, -0.1), EConvertError);
    EXPECT_THROW(EffectiveOdds(1, 0.05), EConvertError);
}

} // namespace
} // namespace brelmont
