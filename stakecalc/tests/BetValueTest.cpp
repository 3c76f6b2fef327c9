// SPDX-License-Identifier: MIT
#include "stakecalc/BetValue.h"

#include "base/testing/RowName.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/tests/RecordingFields.h"

#include <cfenv>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

using brelmont::testing::RecordingFields;
using Log = std::vector<std::string>;

const std::string kInvalid = "message В одно из полей введено не допустимое значение.";
const std::string kLossAt40And2 = "Ставка невыгодна: при вероятности 40 % и коэффициенте 2 она в среднем "
                                  "возвращает 0,8 от поставленной суммы, то есть на каждой такой ставке вы в "
                                  "среднем теряете. Критерий Келли советует не делать эту ставку.";
const std::string kEvenAt50And2 =
    "Ставка не даёт преимущества: при вероятности 50 % и коэффициенте 2 она в "
    "среднем возвращает ровно поставленную сумму и ничего не приносит. Критерий "
    "Келли советует не делать эту ставку.";

struct AdviceRow {
    std::string name;
    double p;
    double k;
    std::optional<std::string> advice; // nullopt: the bet has value, or cannot be judged
};

class NoValueAdvice : public ::testing::TestWithParam<AdviceRow> {};

TEST_P(NoValueAdvice, SaysSoOnlyWhenProbabilityTimesOddsIsAtMostOne) {
    const AdviceRow& row = GetParam();
    const std::optional<std::string> advice = brelmont::NoValueAdvice(row.p, row.k);
    if (!row.advice) {
        EXPECT_FALSE(advice.has_value()) << *advice;
        return;
    }
    ASSERT_TRUE(advice.has_value());
    if (!row.advice->empty()) {
        EXPECT_EQ(*advice, *row.advice);
    }
}

// An empty expected advice means "some advice": the row protects the boundary, not the wording.
INSTANTIATE_TEST_SUITE_P(Boundary, NoValueAdvice,
                         ::testing::Values(AdviceRow{"LossNamesTheAverageReturn", 40, 2, kLossAt40And2},
                                           AdviceRow{"FairOddsBreakEven", 50, 2, kEvenAt50And2},
                                           AdviceRow{"ValueBetSaysNothing", 55, 2, std::nullopt},
                                           AdviceRow{"JustAboveOneSaysNothing", 50.01, 2, std::nullopt},
                                           AdviceRow{"TypedDecimalsMeetTheBoundary", 62.5, 1.6, ""},
                                           AdviceRow{"ThirdsMeetTheBoundary", 25, 4, ""},
                                           AdviceRow{"EvenMoneyOddsNeverPay", 55, 1, ""},
                                           AdviceRow{"OddsBelowOneLoseEvenWhenWinning", 90, 0.9, ""},
                                           AdviceRow{"ImpossibleEvent", 0, 3, ""},
                                           AdviceRow{"NegativeProbabilityIsNoBet", -5, 2, std::nullopt},
                                           AdviceRow{"ProbabilityAboveHundredIsNoBet", 150, 0.5,
                                                     std::nullopt},
                                           AdviceRow{"ZeroOddsAreNoBet", 40, 0, std::nullopt},
                                           AdviceRow{"InfiniteOddsAreNoBet", 40, HUGE_VAL, std::nullopt}),
                         brelmont::testing::RowName());

TEST(NoValueAdvice, ALossCloseToTheStakeNeverReadsAsTheWholeStake) {
    const std::optional<std::string> advice = brelmont::NoValueAdvice(49.99, 2);
    ASSERT_TRUE(advice.has_value());
    EXPECT_NE(advice->find("возвращает 0,999 от"), std::string::npos) << *advice;
}

RecordingFields Filled(const std::string& p, const std::string& k, const std::string& s) {
    RecordingFields fields;
    fields.texts = {"", p, k, s, "old4", "old5", "old6", "old7"};
    return fields;
}

enum class Command { All, Probabilities };

struct SequenceRow {
    std::string name;
    Command command;
    std::string p, k, s;
    Log tail; // the last effects of the command followed by the advice
};

class AdviceAfterCommand : public ::testing::TestWithParam<SequenceRow> {};

// The window runs the command and then the advice; the command's own writes and messages come first.
TEST_P(AdviceAfterCommand, ComesAfterEverythingTheCommandShows) {
    const SequenceRow& row = GetParam();
    RecordingFields fields = Filled(row.p, row.k, row.s);
    const brelmont::CommandEnd end = row.command == Command::All
                                         ? brelmont::ComputeAllCommand(fields)
                                         : brelmont::ComputeProbabilitiesCommand(fields);
    if (end != brelmont::CommandEnd::NoValue) {
        brelmont::AdviseWhenNoValue(fields, row.command == Command::Probabilities);
    }
    const Log effects = fields.Effects();
    ASSERT_GE(effects.size(), row.tail.size());
    EXPECT_EQ(Log(effects.end() - static_cast<std::ptrdiff_t>(row.tail.size()), effects.end()), row.tail);
    EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AdviceAfterCommand,
    ::testing::Values(
        SequenceRow{
            "AllFairOddsAdvisesOnce", Command::All, "50", "2", "", {"write 3 0", "message " + kEvenAt50And2}},
        SequenceRow{"AllLossShowsNegativeStakeThenAdvises",
                    Command::All,
                    "40",
                    "2",
                    "",
                    {"write 7 9,54", "message " + kLossAt40And2}},
        SequenceRow{"ProbabilitiesLossAdvisesAfterTheChances",
                    Command::Probabilities,
                    "40",
                    "2.0",
                    "5",
                    {"write 7 100", "message " + kLossAt40And2}},
        SequenceRow{"ProbabilitiesFairOddsAdvise",
                    Command::Probabilities,
                    "50",
                    "2",
                    "5",
                    {"message " + kEvenAt50And2}},
        SequenceRow{"ValueBetGetsNoAdvice", Command::All, "55", "2", "", {"write 7 9,88"}},
        SequenceRow{"EmptyStakeIsReportedAlone",
                    Command::Probabilities,
                    "40",
                    "2",
                    "",
                    {"message Вы не заполнили поле Ставка в % от банка."}},
        SequenceRow{"EmptyOddsAreReportedAlone",
                    Command::All,
                    "40",
                    "",
                    "",
                    {"message Вы не заполнили поле Коэффициент."}},
        SequenceRow{"WordIsReportedAlone", Command::All, "abc", "2", "", {kInvalid}}),
    brelmont::testing::RowName());

TEST(AdviseWhenNoValue, ReadsOnlyTheFieldsAndWritesNone) {
    RecordingFields fields = Filled("40", "2", "");
    brelmont::AdviseWhenNoValue(fields, false);
    EXPECT_EQ(fields.log, (Log{"read 1", "read 2", "message " + kLossAt40And2}));
}

} // namespace
