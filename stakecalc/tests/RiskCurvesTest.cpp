// SPDX-License-Identifier: MIT
// The risk chart's figures: every formula point is what "Вычислить вероятности" shows for that stake, the
// growth curve peaks at the Kelly stake, the fields are read like the commands read them, and the plain
// sentences stand in for curves when there is nothing sensible to draw.
#include "stakecalc/RiskCurves.h"

#include "base/testing/RowName.h"
#include "stakecalc/Commands.h"
#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/testing/MemoryFields.h"

#include <cmath>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

using testing::RowName;

// What the command itself leaves in the four result fields, read back as numbers.
std::optional<std::array<double, 4>> CommandShows(const std::string& p, const std::string& k, double stake) {
    testing::MemoryFields fields;
    fields.texts[1] = p;
    fields.texts[2] = k;
    fields.texts[3] = FloatToStr(stake, kCalculatorSeparator);
    ComputeProbabilitiesCommand(fields);
    if (!fields.message.empty()) {
        return std::nullopt;
    }
    std::array<double, 4> shown{};
    for (int i = 0; i < 4; ++i) {
        shown[i] = static_cast<double>(StrToFloat(fields.texts[4 + i], kCalculatorSeparator));
    }
    return shown;
}

struct BetRow {
    const char* name;
    const char* p;
    const char* k;
    const char* stake;
};

class RiskCurvesFormula : public ::testing::TestWithParam<BetRow> {};

TEST_P(RiskCurvesFormula, EveryPointIsWhatTheCommandShows) {
    const BetRow& row = GetParam();
    const ChartReading reading = ReadChartFields(row.p, row.k, row.stake);
    ASSERT_TRUE(reading.ok) << reading.sentence;
    const FormulaCurves curves = ComputeFormulaCurves(reading, 64);
    ASSERT_FALSE(curves.chances[0].empty());
    for (std::size_t level = 0; level < 4; ++level) {
        for (const CurvePoint& point : curves.chances[level]) {
            const auto shown = CommandShows(row.p, row.k, point.stake);
            ASSERT_TRUE(shown) << "stake " << point.stake;
            EXPECT_EQ(point.value, (*shown)[level]) << "stake " << point.stake << " level " << level;
        }
    }
    std::vector<double> marks{reading.kelly, reading.kelly / 2};
    if (reading.stake) {
        marks.push_back(*reading.stake);
    }
    for (const double mark : marks) {
        EXPECT_EQ(FormulaChances(reading.p, reading.k, mark), CommandShows(row.p, row.k, mark)) << mark;
    }
}

TEST_P(RiskCurvesFormula, GrowthPeaksAtTheKellyStake) {
    const BetRow& row = GetParam();
    const ChartReading reading = ReadChartFields(row.p, row.k, "");
    const FormulaCurves curves = ComputeFormulaCurves(reading, 2000);
    const CurvePoint* best = &curves.growth.front();
    for (const CurvePoint& point : curves.growth) {
        if (point.value > best->value) {
            best = &point;
        }
    }
    const double step = StakeAxisEnd(reading) / 2000;
    EXPECT_NEAR(best->stake, reading.kelly, step + 0.005);
    EXPECT_GT(best->value, 0);
    // Near twice Kelly the growth has fallen back to a small part of its peak.
    if (2 * reading.kelly < 100) {
        EXPECT_NEAR(GrowthPercent(reading.p, reading.k, 2 * reading.kelly), 0, best->value / 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Bets, RiskCurvesFormula,
                         ::testing::Values(BetRow{"EvenOddsWithTypedStake", "55", "2", "5"},
                                           BetRow{"FullStopsForCommas", "60", "1.9", "25.5"},
                                           BetRow{"CommasAndLongOdds", "20", "7,5", ""},
                                           BetRow{"HeavyFavourite", "90", "1,5", "99"}),
                         RowName());

TEST(RiskCurves, TheCommandsValuesAreLeftAsFound) {
    StakeInputs = StakeValues{1, 2, 3, 4};
    (void)FormulaChances(55, 2, 10);
    (void)ReadChartFields("55", "2", "5");
    EXPECT_EQ(StakeInputs.p, 1);
    EXPECT_EQ(StakeInputs.k, 2);
    EXPECT_EQ(StakeInputs.f, 3);
    EXPECT_EQ(StakeInputs.s, 4);
}

TEST(RiskCurves, StakesTheEngineRejectsAreLeftOutOfTheCurves) {
    EXPECT_FALSE(FormulaChances(55, 2, 0));
    EXPECT_FALSE(FormulaChances(55, 2, 100));
    // Past twice Kelly the command shows 100 in every field.
    EXPECT_EQ(FormulaChances(55, 2, 25), (std::array<double, 4>{100, 100, 100, 100}));
    const ChartReading reading = ReadChartFields("90", "1,5", "");
    ASSERT_EQ(StakeAxisEnd(reading), 100);
    const FormulaCurves curves = ComputeFormulaCurves(reading, 10);
    EXPECT_EQ(curves.chances[0].size(), 9u);
    EXPECT_LT(curves.chances[0].back().stake, 100);
}

struct ReadingRow {
    const char* name;
    const char* p;
    const char* k;
    const char* stake;
    bool ok;
    const char* sentenceStart; // for ok rows: the start of the stake note, or ""
    double axisEnd;
};

class RiskCurvesReading : public ::testing::TestWithParam<ReadingRow> {};

TEST_P(RiskCurvesReading, DrawsOrSaysWhyNot) {
    const ReadingRow& row = GetParam();
    const ChartReading reading = ReadChartFields(row.p, row.k, row.stake);
    EXPECT_EQ(reading.ok, row.ok);
    const std::string& text = row.ok ? reading.stakeNote : reading.sentence;
    EXPECT_EQ(text.substr(0, std::string(row.sentenceStart).size()), row.sentenceStart) << text;
    if (row.ok) {
        EXPECT_DOUBLE_EQ(StakeAxisEnd(reading), row.axisEnd);
    } else {
        EXPECT_FALSE(reading.sentence.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RiskCurvesReading,
    ::testing::Values(
        ReadingRow{"AxisToTwiceKelly", "55", "2", "", true, "", 20},
        ReadingRow{"AxisToALargerTypedStake", "55", "2", "30", true, "", 30},
        ReadingRow{"AxisNeverPastTheWholeBank", "90", "1.5", "", true, "", 100},
        ReadingRow{"UnreadableStakeIsNotMarked", "55", "2", "пять", true, "Ставка в % от банка не читается",
                   20},
        ReadingRow{"StakeOfTheWholeBankIsNotMarked", "55", "2", "100", true, "Ставка в % от банка должна",
                   20},
        ReadingRow{"EmptyProbability", "", "2", "", false, "Введите вероятность", 0},
        ReadingRow{"EmptyOdds", "55", "", "", false, "Введите вероятность", 0},
        ReadingRow{"Letters", "abc", "2", "", false, "Вероятность события или коэффициент не читается", 0},
        ReadingRow{"TwoSeparators", "55", "2,1.5", "", false,
                   "Вероятность события или коэффициент не читается", 0},
        ReadingRow{"ProbabilityOfAHundred", "100", "2", "", false, "Вероятность события должна", 0},
        ReadingRow{"OddsOfOne", "55", "1", "", false, "Вероятность события должна", 0},
        ReadingRow{"FairBet", "50", "2", "", false,
                   "У этой ставки нет перевеса: вероятность × коэффициент = 1 ", 0},
        ReadingRow{"LosingBet", "40", "2,2", "", false,
                   "У этой ставки нет перевеса: вероятность × коэффициент = 0,88", 0},
        ReadingRow{"ProbabilityAsAFraction", "0,55", "2", "", false, "У этой ставки нет перевеса", 0},
        ReadingRow{"EdgeTooThinForTwoDecimals", "50,001", "2", "", false, "Перевес слишком мал", 0},
        ReadingRow{"KellyRoundsToTheWholeBank", "99,999", "2", "", false,
                   "Перевес так велик, что ставка Келли округляется до 100 %", 0}),
    RowName());

TEST(RiskCurves, ExactChancesAtKellyLieBelowTheFormula) {
    const auto exact = ExactChances(55, 2, 10, {}, nullptr);
    const auto formula = FormulaChances(55, 2, 10);
    ASSERT_TRUE(formula);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(exact[i].converged);
        EXPECT_LT(exact[i].upper * 100, (*formula)[i]);
    }
}

TEST(RiskCurves, PercentTextsUseTheDecimalComma) {
    EXPECT_EQ(PercentText(59.8537), "59,85");
    EXPECT_EQ(PercentText(10), "10");
    EXPECT_EQ(PercentText(0.001), "0");
}

} // namespace
} // namespace brelmont
