// SPDX-License-Identifier: MIT
#include "stakecalc/KellyEngine.h"

#include "base/Exception.h"
#include "base/testing/RowName.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/tests/RecordingFields.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using ::brelmont::testing::PrintTo;

using brelmont::StakeInputs;
using brelmont::testing::RecordingFields;

enum class Entry { All, Probabilities };

void RunEngine(Entry entry, double p, double k, double s, RecordingFields& fields) {
    brelmont::InitFloatEnvironment();
    StakeInputs = brelmont::StakeValues{p, k, 0, s};
    if (entry == Entry::All) {
        brelmont::ComputeAll(fields);
    } else {
        brelmont::ComputeProbabilities(fields);
    }
}

struct WorkedCase {
    const char* name;
    Entry entry;
    double p, k, s;
    std::vector<std::string> writes;
};

class KellyEngineWrites : public ::testing::TestWithParam<WorkedCase> {};

TEST_P(KellyEngineWrites, EachResultInFieldOrder) {
    RecordingFields fields;
    const WorkedCase& c = GetParam();
    RunEngine(c.entry, c.p, c.k, c.s, fields);
    EXPECT_EQ(fields.Effects(), c.writes);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, KellyEngineWrites,
    ::testing::Values(
        WorkedCase{"EvenOddsEdge",
                   Entry::All,
                   55,
                   2,
                   0,
                   {"write 3 10", "write 4 59,85", "write 5 39,82", "write 6 19,84", "write 7 9,88"}},
        WorkedCase{"ShortOdds",
                   Entry::All,
                   60,
                   1.9,
                   0,
                   {"write 3 15,56", "write 4 59,51", "write 5 39,42", "write 6 19,49", "write 7 9,64"}},
        WorkedCase{"LongOdds",
                   Entry::All,
                   50,
                   2.5,
                   0,
                   {"write 3 16,67", "write 4 60,22", "write 5 40,26", "write 6 20,23", "write 7 10,17"}},
        WorkedCase{"HalfKelly",
                   Entry::Probabilities,
                   55,
                   2,
                   5,
                   {"write 4 21,3", "write 5 6,24", "write 6 0,77", "write 7 0,09"}},
        WorkedCase{"AboveTwiceKellyClamps",
                   Entry::Probabilities,
                   55,
                   2,
                   25,
                   {"write 4 100", "write 5 100", "write 6 100", "write 7 100"}},
        WorkedCase{"VanishingChanceShowsZero",
                   Entry::Probabilities,
                   99,
                   2,
                   1,
                   {"write 4 0", "write 5 0", "write 6 0", "write 7 0"}},
        WorkedCase{"NegativeKellyIsEvaluated",
                   Entry::All,
                   40,
                   2,
                   0,
                   {"write 3 -20", "write 4 59,37", "write 5 39,25", "write 6 19,35", "write 7 9,54"}},
        WorkedCase{"StakeOnCertainLossIsEvaluated",
                   Entry::Probabilities,
                   55,
                   1,
                   5,
                   {"write 4 100", "write 5 100", "write 6 100", "write 7 100"}}),
    brelmont::testing::RowName());

// What the engine leaves behind: the fractions replace the percents in place, f holds the unrounded Kelly
// percent, s the rounded one as a fraction.
TEST(KellyEngine, StoresFractionsInPlace) {
    RecordingFields fields;
    RunEngine(Entry::All, 60, 1.9, 0, fields);
    EXPECT_EQ(StakeInputs.p, 0.6);
    EXPECT_EQ(StakeInputs.k, 1.9);
    EXPECT_DOUBLE_EQ(StakeInputs.f, 100.0 * (0.6 * 1.9 - 1) / 0.9);
    EXPECT_EQ(StakeInputs.s, 15.56 / 100);
    RunEngine(Entry::Probabilities, 55, 2, 5, fields);
    EXPECT_EQ(StakeInputs.p, 0.55);
    EXPECT_EQ(StakeInputs.s, 0.05);
    EXPECT_EQ(StakeInputs.f, 0.0);
}

enum class Fault { InvalidOp, ZeroDivide, Overflow };

struct FaultCase {
    const char* name;
    Entry entry;
    double p, k, s;
    Fault fault;
    std::vector<std::string> writesBefore;
};

class KellyEngineFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(KellyEngineFaults, KeepWhatWasWrittenAndStopThere) {
    const FaultCase& c = GetParam();
    RecordingFields fields;
    try {
        RunEngine(c.entry, c.p, c.k, c.s, fields);
        FAIL() << "no fault";
    } catch (const brelmont::EInvalidOp&) {
        EXPECT_EQ(c.fault, Fault::InvalidOp);
    } catch (const brelmont::EZeroDivide&) {
        EXPECT_EQ(c.fault, Fault::ZeroDivide);
    } catch (const brelmont::EOverflow&) {
        EXPECT_EQ(c.fault, Fault::Overflow);
    }
    EXPECT_EQ(fields.Effects(), c.writesBefore);
    brelmont::InitFloatEnvironment();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, KellyEngineFaults,
    ::testing::Values(
        FaultCase{"EvenMoneyOddsDivideByZero", Entry::All, 55, 1, 0, Fault::ZeroDivide, {}},
        FaultCase{"CertainEventAtEvenMoneyIsZeroOverZero", Entry::All, 100, 1, 0, Fault::InvalidOp, {}},
        FaultCase{"FairOddsGiveZeroStake", Entry::All, 50, 2, 0, Fault::InvalidOp, {"write 3 0"}},
        FaultCase{"NoEdgeRoundsToZeroStake", Entry::All, 50.001, 2, 0, Fault::InvalidOp, {"write 3 0"}},
        FaultCase{"CertainEventStakesEverything", Entry::All, 100, 2, 0, Fault::ZeroDivide, {"write 3 100"}},
        FaultCase{"KellyPercentBeyondDouble", Entry::All, 1e300, 1.0000000000000002, 0, Fault::Overflow, {}},
        FaultCase{"KellyPercentBeyondInt64", Entry::All, 1000, 1.000000000000001, 0, Fault::InvalidOp, {}},
        FaultCase{"WholeBankStaked", Entry::Probabilities, 55, 2, 100, Fault::ZeroDivide, {}},
        FaultCase{"MoreThanTheBankStaked", Entry::Probabilities, 55, 2, 150, Fault::InvalidOp, {}},
        FaultCase{"WinLeavesNothing", Entry::Probabilities, 55, -1, 50, Fault::ZeroDivide, {}},
        FaultCase{"ZeroStake", Entry::Probabilities, 55, 2, 0, Fault::InvalidOp, {}},
        FaultCase{"ImpossibleEvent", Entry::Probabilities, 0, 2, 5, Fault::ZeroDivide, {}},
        FaultCase{"CertainEvent", Entry::Probabilities, 100, 2, 5, Fault::ZeroDivide, {}},
        FaultCase{"ChanceBeyondDoubleIsNotClamped", Entry::Probabilities, 1, 2, 1, Fault::Overflow, {}},
        FaultCase{"PowerBeyondExtended", Entry::Probabilities, 1, 2, 0.1, Fault::Overflow, {}}),
    brelmont::testing::RowName());

} // namespace
