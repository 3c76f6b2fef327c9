// SPDX-License-Identifier: MIT
#include "stakecalc/Commands.h"

#include "base/testing/RowName.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/tests/RecordingFields.h"

#include <cfenv>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using ::brelmont::testing::PrintTo;

using brelmont::testing::RecordingFields;
using Log = std::vector<std::string>;

const std::string kProbabilityMissing = "message Вы не заполнили поле Вероятность события.";
const std::string kOddsMissing = "message Вы не заполнили поле Коэффициент.";
const std::string kStakeMissing = "message Вы не заполнили поле Ставка в % от банка.";
const std::string kInvalid = "message В одно из полей введено не допустимое значение.";
const std::string kEvenAt50And2 = "message " + *brelmont::NoValueAdvice(50, 2);

RecordingFields Filled(const std::string& p, const std::string& k, const std::string& s) {
    RecordingFields fields;
    fields.texts = {"", p, k, s, "old4", "old5", "old6", "old7"};
    return fields;
}

enum class Command { All, Probabilities };

struct CommandCase {
    const char* name;
    Command command;
    std::string p, k, s;
    Log effects;
};

class CalculationCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CalculationCommand, ShowsResultsOrOneMessage) {
    const CommandCase& c = GetParam();
    RecordingFields fields = Filled(c.p, c.k, c.s);
    const brelmont::CommandEnd end = c.command == Command::All
                                         ? brelmont::ComputeAllCommand(fields)
                                         : brelmont::ComputeProbabilitiesCommand(fields);
    EXPECT_EQ(fields.Effects(), c.effects);
    // The end tells the window whether the advice was given already and whether every result was written.
    const bool advised = !c.effects.empty() && c.effects.back().starts_with("message Ставка");
    const bool failed = !c.effects.empty() && c.effects.back().starts_with("message ");
    EXPECT_EQ(end, advised  ? brelmont::CommandEnd::NoValue
                   : failed ? brelmont::CommandEnd::Refused
                            : brelmont::CommandEnd::Computed);
}

const Log kKellyAt55 = {"write 3 10", "write 4 59,85", "write 5 39,82", "write 6 19,84", "write 7 9,88"};
const Log kHalfKellyAt55 = {"write 4 21,3", "write 5 6,24", "write 6 0,77", "write 7 0,09"};

INSTANTIATE_TEST_SUITE_P(
    Checks, CalculationCommand,
    ::testing::Values(
        CommandCase{"AllEmptyNamesOnlyProbability", Command::All, "", "", "", {kProbabilityMissing}},
        CommandCase{"OddsEmpty", Command::All, "55", "", "", {kOddsMissing}},
        CommandCase{"StakeNotNeededForAll", Command::All, "55", "2", "", kKellyAt55},
        CommandCase{"ProbabilitiesAllEmpty", Command::Probabilities, "", "", "", {kProbabilityMissing}},
        CommandCase{"ProbabilitiesOddsEmpty", Command::Probabilities, "55", "", "", {kOddsMissing}},
        CommandCase{"ProbabilitiesStakeEmpty", Command::Probabilities, "55", "2", "", {kStakeMissing}},
        CommandCase{"BlanksAreNotEmpty", Command::All, "   ", "2", "", {kInvalid}}),
    brelmont::testing::RowName());

INSTANTIATE_TEST_SUITE_P(
    Conversion, CalculationCommand,
    ::testing::Values(
        CommandCase{"FullStopBecomesComma", Command::All, "55", "2.0", "", kKellyAt55},
        CommandCase{"CommaAccepted", Command::All, "55,0", "2,0", "", kKellyAt55},
        CommandCase{"FullStopInStake", Command::Probabilities, "55", "2", "5.0", kHalfKellyAt55},
        CommandCase{"SpacesAround", Command::All, "  55 ", "2", "", kKellyAt55},
        CommandCase{"Word", Command::All, "abc", "2", "", {kInvalid}},
        CommandCase{"BadStake", Command::Probabilities, "55", "2", "5%", {kInvalid}},
        CommandCase{"TwoMarks", Command::All, "55", "2.0,0", "", {kInvalid}},
        CommandCase{"BeyondDouble", Command::All, "1e0500", "2", "", {kInvalid}},
        CommandCase{"OddsBeyondDouble", Command::Probabilities, "55", "-1e309", "5", {kInvalid}}),
    brelmont::testing::RowName());

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, CalculationCommand,
    ::testing::Values(
        CommandCase{"FairOddsShowZeroThenAdvise", Command::All, "50", "2", "9", {"write 3 0", kEvenAt50And2}},
        CommandCase{"LossRoundingToZeroAdvises",
                    Command::All,
                    "63,29",
                    "1,58",
                    "",
                    {"write 3 0", "message " + *brelmont::NoValueAdvice(63.29, 1.58)}},
        CommandCase{
            "TinyEdgeRoundingToZeroIsInvalid", Command::All, "50,001", "2", "", {"write 3 0", kInvalid}},
        CommandCase{"NegativeStakeChangesNothing", Command::Probabilities, "55", "2", "-5", {kInvalid}},
        CommandCase{"NegativeZeroStakeChangesNothing", Command::Probabilities, "55", "2", "-0", {kInvalid}},
        CommandCase{"EvenMoneyChangesNothing", Command::All, "55", "1", "9", {kInvalid}},
        CommandCase{"CertainEventShowsWholeBank", Command::All, "100", "2", "", {"write 3 100", kInvalid}},
        CommandCase{"WholeBankChangesNothing", Command::Probabilities, "55", "2", "100", {kInvalid}},
        CommandCase{"ClampedAtCertainty",
                    Command::Probabilities,
                    "55",
                    "2",
                    "25",
                    {"write 4 100", "write 5 100", "write 6 100", "write 7 100"}},
        CommandCase{"UnderflowingInputIsZeroStake", Command::Probabilities, "55", "2", "1e-400", {kInvalid}}),
    brelmont::testing::RowName());

TEST(CalculationCommands, ReadTheFieldsInOrderAndNeverTheStakeForAll) {
    RecordingFields fields = Filled("55", "2", "old stake");
    brelmont::ComputeAllCommand(fields);
    const Log expected = {"read 1",        "read 2",        "read 1",        "read 2",      "write 3 10",
                          "write 4 59,85", "write 5 39,82", "write 6 19,84", "write 7 9,88"};
    EXPECT_EQ(fields.log, expected);

    fields = Filled("55", "2", "5");
    brelmont::ComputeProbabilitiesCommand(fields);
    EXPECT_EQ(Log(fields.log.begin(), fields.log.begin() + 6),
              (Log{"read 1", "read 2", "read 3", "read 1", "read 2", "read 3"}));
}

TEST(CalculationCommands, ResetInputsSoNothingCarriesOver) {
    RecordingFields fields = Filled("55", "2", "5");
    brelmont::ComputeAllCommand(fields);
    fields = Filled("60", "", "");
    brelmont::ComputeAllCommand(fields);
    EXPECT_EQ(brelmont::StakeInputs.p, 0.0);
    EXPECT_EQ(brelmont::StakeInputs.s, 0.0);

    fields = Filled("55", "x", "5");
    brelmont::ComputeProbabilitiesCommand(fields);
    EXPECT_EQ(brelmont::StakeInputs.p, 55.0);
    EXPECT_EQ(brelmont::StakeInputs.k, 0.0);
    EXPECT_EQ(brelmont::StakeInputs.s, 0.0);
}

TEST(CalculationCommands, AFaultDoesNotSpoilTheNextCommand) {
    RecordingFields fields = Filled("55", "1", "");
    brelmont::ComputeAllCommand(fields);
    EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);

    // Fault flags left behind by code outside the calculator are not the command's faults.
    std::feraiseexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    fields = Filled("55", "2", "");
    brelmont::ComputeAllCommand(fields);
    EXPECT_EQ(fields.Effects(), kKellyAt55);
}

TEST(ClearCommand, EmptiesAllSevenFieldsInOrder) {
    RecordingFields fields = Filled("55", "2", "10");
    brelmont::StakeInputs = brelmont::StakeValues{1, 2, 3, 4};
    brelmont::ClearCommand(fields);
    EXPECT_EQ(fields.log,
              (Log{"write 1 ", "write 2 ", "write 3 ", "write 4 ", "write 5 ", "write 6 ", "write 7 "}));
    EXPECT_EQ(brelmont::StakeInputs.s, 4.0);
}

TEST(DotToComma, ReplacesEveryFullStopAndNothingElse) {
    EXPECT_EQ(brelmont::DotToComma("1.2.3"), "1,2,3");
    EXPECT_EQ(brelmont::DotToComma(" 55 abc,\xD0\x9A"), " 55 abc,\xD0\x9A");
    EXPECT_EQ(brelmont::DotToComma(std::string("\0.", 2)), std::string("\0,", 2));
}

} // namespace
