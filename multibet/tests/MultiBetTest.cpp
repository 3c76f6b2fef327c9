// SPDX-License-Identifier: MIT
// Joint stakes against what is known about them independently: the published figures, the optimality
// conditions on seeded random sets, the calculator's own Kelly stake for one bet, the exact whole-bet
// chances, and a seeded simulation of bankrolls whose tolerance comes from its own standard error. Also the
// fraction, the cap, a chosen risk, the refusals of bad sets, and cancellation.
#include "multibet/MultiBet.h"

#include "base/Exception.h"
#include "base/testing/RowName.h"
#include "multibet/Odds.h"
#include "stakecalc/Commands.h"
#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"

#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;
using testing::RowName;

std::vector<Bet> Bets(const std::vector<double>& odds, const std::vector<double>& percents,
                      double commission = 0) {
    std::vector<Bet> bets;
    for (std::size_t i = 0; i < odds.size(); ++i) {
        bets.push_back({"Ставка " + std::to_string(i + 1), odds[i], percents[i] / 100, commission});
    }
    return bets;
}

struct PublishedRow {
    const char* name;
    BetMode mode;
    std::vector<double> odds;
    std::vector<double> percents;
    double commission;
    std::vector<double> stakePercents;
    double tolerance; // in percent, half a unit of the last published digit
};

class JointKellyPublished : public ::testing::TestWithParam<PublishedRow> {};

TEST_P(JointKellyPublished, MatchesTheFigures) {
    const PublishedRow& row = GetParam();
    const std::vector<double> stakes = KellyStakes(Bets(row.odds, row.percents, row.commission), row.mode);
    ASSERT_EQ(stakes.size(), row.stakePercents.size());
    for (std::size_t i = 0; i < stakes.size(); ++i) {
        EXPECT_NEAR(100 * stakes[i], row.stakePercents[i], row.tolerance) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Figures, JointKellyPublished,
    ::testing::Values(
        PublishedRow{"FiveRunnersOneRace",
                     BetMode::Exclusive,
                     {5.5, 2.625, 3.25, 6, 21},
                     {20, 40, 30, 8, 2},
                     0,
                     {5.964, 10.5913, 6.2468, 0, 0},
                     5e-4},
        PublishedRow{"TwoCoinsAtEvens", BetMode::Independent, {2, 2}, {55, 55}, 0, {9.90099, 9.90099}, 5e-6},
        PublishedRow{"OneCoinAtEvens", BetMode::Independent, {2}, {55}, 0, {10}, 1e-9},
        PublishedRow{"CommissionIndependent", BetMode::Independent, {2.1}, {50}, 0.05, {2.1531}, 5e-5},
        PublishedRow{"CommissionExclusive", BetMode::Exclusive, {2.1}, {50}, 0.05, {2.1531}, 5e-5}),
    RowName());

TEST(SingleStakesWithCommission, UseTheEffectiveOdds) {
    const std::vector<double> single = SingleKellyStakes(Bets({2.1, 2.1}, {50, 40}, 0.05));
    EXPECT_NEAR(100 * single[0], 2.1531, 5e-5);
    EXPECT_EQ(single[1], 0);
}

class NoFields : public CalcFields {
public:
    std::string FieldText(int) const override { return {}; }
    void SetFieldText(int, const std::string&) override {}
    void ShowMessage(const std::string&) override {}
};

// The calculator's engine, run as "Вычислить всё" runs it, and both joint solvers on a set of one bet.
TEST(OneBetAlone, GetsTheCalculatorsKellyStake) {
    std::mt19937_64 random(1801);
    std::uniform_real_distribution<double> oddsDraw(1.2, 12);
    for (int i = 0; i < 40; ++i) {
        const double odds = std::round(oddsDraw(random) * 100) / 100;
        const double percent = std::round((100 / odds) * (1.02 + 0.002 * i) * 100) / 100;
        if (percent >= 99) {
            continue;
        }
        InitFloatEnvironment();
        StakeInputs = {percent, odds, 0, 0};
        NoFields fields;
        ComputeAll(fields);
        const double engine = StakeInputs.f;
        const std::vector<Bet> bets = Bets({odds}, {percent});
        EXPECT_NEAR(100 * IndependentKelly(bets)[0], engine, 1e-9) << odds << " " << percent;
        EXPECT_NEAR(100 * ExclusiveKelly(bets)[0], engine, 1e-9) << odds << " " << percent;
        EXPECT_NEAR(100 * SingleKellyStakes(bets)[0], engine, 1e-9);
    }
}

// Kelly's conditions for outcomes of one event: each staked outcome satisfies E·(p − f) = R with R = 1 − Σf,
// the share kept back, and no unstaked outcome has p·E above R.
TEST(ExclusiveOnRandomRaces, MeetKellysConditions) {
    std::mt19937_64 random(1802);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int race = 0; race < 300; ++race) {
        const std::size_t n = 2 + static_cast<std::size_t>(race % 15);
        std::vector<double> weight(n);
        for (double& w : weight) {
            w = 0.05 + unit(random);
        }
        const double total = std::accumulate(weight.begin(), weight.end(), 0.0);
        const double covered = race % 3 == 0 ? 1 : 0.7 + 0.3 * unit(random);
        std::vector<Bet> bets;
        for (std::size_t i = 0; i < n; ++i) {
            const double p = covered * weight[i] / total;
            const double odds = std::max(1.01, (0.8 + 0.35 * unit(random)) / p);
            bets.push_back({"", odds, p, race % 4 == 0 ? 0.02 : 0});
        }
        const std::vector<double> f = ExclusiveKelly(bets);
        const double reserve = 1 - std::accumulate(f.begin(), f.end(), 0.0);
        ASSERT_GE(reserve, -1e-12) << race;
        for (std::size_t i = 0; i < n; ++i) {
            const double e = EffectiveOdds(bets[i].odds, bets[i].commission);
            if (f[i] > 0) {
                EXPECT_NEAR(e * (bets[i].probability - f[i]), reserve, 1e-9) << race << " " << i;
            } else {
                EXPECT_LE(bets[i].probability * e, reserve + 1e-9) << race << " " << i;
            }
        }
    }
}

// ∂E[ln W]/∂f_i by its own enumeration of every result.
std::vector<double> Slopes(const std::vector<Bet>& bets, const std::vector<double>& f) {
    const std::size_t n = bets.size();
    std::vector<double> slope(n, 0);
    for (std::size_t o = 0; o < (std::size_t{1} << n); ++o) {
        double q = 1;
        double w = 1;
        for (std::size_t i = 0; i < n; ++i) {
            const bool won = ((o >> i) & 1U) != 0;
            q *= won ? bets[i].probability : 1 - bets[i].probability;
            w += f[i] * (won ? EffectiveOdds(bets[i].odds, bets[i].commission) - 1 : -1);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const bool won = ((o >> i) & 1U) != 0;
            slope[i] += q * (won ? EffectiveOdds(bets[i].odds, bets[i].commission) - 1 : -1) / w;
        }
    }
    return slope;
}

std::vector<Bet> RandomEvents(std::mt19937_64& random, std::size_t n, double edgeFrom, double edgeTo) {
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Bet> bets;
    for (std::size_t i = 0; i < n; ++i) {
        const double p = 0.15 + 0.7 * unit(random);
        const double edge = edgeFrom + (edgeTo - edgeFrom) * unit(random);
        bets.push_back({"", std::max(1.01, (1 + edge) / p), p, unit(random) < 0.2 ? 0.03 : 0});
    }
    return bets;
}

TEST(IndependentOnRandomSaturdays, HaveNoSlopeWhereStakedAndNoneUpwardElsewhere) {
    std::mt19937_64 random(1803);
    for (int day = 0; day < 60; ++day) {
        const std::size_t n = 1 + static_cast<std::size_t>(day % 10);
        const std::vector<Bet> bets = RandomEvents(random, n, -0.15, 0.25);
        const std::vector<double> f = IndependentKelly(bets);
        const std::vector<double> slope = Slopes(bets, f);
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_GE(f[i], 0);
            if (f[i] > 0) {
                EXPECT_NEAR(slope[i], 0, 1e-9) << day << " " << i;
            } else {
                EXPECT_LE(slope[i], 1e-9) << day << " " << i;
            }
        }
        EXPECT_LT(std::accumulate(f.begin(), f.end(), 0.0), 1);
    }
}

TEST(GrowthOfTwoCoins, IsLargerJointlyThanStakedOneByOne) {
    const PlanRequest request{Bets({2, 2}, {55, 55}), BetMode::Independent, 1, {}, {}};
    const StakePlan plan = PlanStakes(request);
    EXPECT_EQ(plan.outcome, PlanOutcome::Ok);
    EXPECT_NEAR(plan.total, 2 * 0.0990099, 1e-7);
    // Each coin alone at 10 % grows the log-bank by 0,5·(0,55·ln 1,1 + 0,45·ln 0,9)... per coin; together the
    // four results weigh in exactly.
    const double joint =
        100 * (0.3025 * std::log(1 + 2 * plan.stakes[0]) + 0.2025 * std::log(1 - 2 * plan.stakes[0]));
    EXPECT_NEAR(plan.growth, joint, 1e-10);
    ASSERT_TRUE(plan.singleGrowth.has_value());
    EXPECT_NEAR(*plan.singleGrowth, 100 * (0.3025 * std::log(1.2) + 0.2025 * std::log(0.8)), 1e-10);
    EXPECT_LT(*plan.singleGrowth, plan.growth);
    EXPECT_NEAR(plan.single[0], 0.1, 1e-12);
}

TEST(SingleStakesPlacedTogether, HaveNoGrowthWhenTheyCouldLoseTheBank) {
    // Three favourites of one race each worth a big stake alone: together they stake more than the bank.
    const PlanRequest request{Bets({1.5, 1.5, 1.5}, {33, 33, 33}), BetMode::Exclusive, 1, {}, {}};
    const StakePlan plan = PlanStakes(request);
    EXPECT_EQ(plan.outcome, PlanOutcome::NoValue);
    EXPECT_FALSE(plan.singleGrowth.has_value() && plan.singleGrowth > 0);
}

TEST(FractionAndCap, ScaleTheFullStakes) {
    const std::vector<Bet> bets = Bets({2, 2.2, 3.1}, {55, 50, 36});
    const std::vector<double> kelly = IndependentKelly(bets);
    const StakePlan half = PlanStakes({bets, BetMode::Independent, 0.5, {}, {}});
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(half.stakes[i], 0.5 * kelly[i], 1e-15);
    }
    const StakePlan capped = PlanStakes({bets, BetMode::Independent, 1, 0.05, {}});
    EXPECT_NEAR(capped.total, 0.05, 1e-15);
    const double ratio = capped.stakes[0] / kelly[0];
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(capped.stakes[i], ratio * kelly[i], 1e-15);
    }
    const StakePlan loose = PlanStakes({bets, BetMode::Independent, 1, 0.99, {}});
    EXPECT_EQ(loose.stakes, kelly);
}

TEST(NoValue, GivesZeroStakesAndSaysSo) {
    const StakePlan plan = PlanStakes({Bets({1.9, 1.9}, {50, 50}), BetMode::Independent, 1, {}, {}});
    EXPECT_EQ(plan.outcome, PlanOutcome::NoValue);
    EXPECT_EQ(plan.stakes, (std::vector<double>{0, 0}));
    EXPECT_EQ(plan.growth, 0);
    for (const ChanceBracket& c :
         DrawdownChances(Bets({1.9, 1.9}, {50, 50}), BetMode::Independent, plan.stakes)) {
        EXPECT_EQ(c.lower, 0);
        EXPECT_EQ(c.upper, 0);
        EXPECT_TRUE(c.converged);
    }
}

TEST(ChancesOfOneBet, AreTheExactWholeBetChances) {
    const std::vector<Bet> bets = Bets({2}, {55});
    const auto chances = DrawdownChances(bets, BetMode::Exclusive, std::vector<double>{0.1});
    for (std::size_t l = 0; l < 4; ++l) {
        const RuinBounds exact = WholeBetRuin({0.55, 2, 0.1}, kDrawdownLevels[l], {1e-3});
        EXPECT_EQ(chances[l].lower, exact.lower);
        EXPECT_EQ(chances[l].upper, exact.upper);
        EXPECT_TRUE(chances[l].converged);
    }
}

// Two outcomes of one race at the same odds and stake win or lose together as one bet on either of them:
// p = p₁ + p₂, odds E/2, stake 2f. The grid, which never sees that, must bracket the same chance as the exact
// whole-bet computation.
TEST(ChancesOfTwinOutcomes, OverlapTheExactChancesOfTheBetTheyMake) {
    const std::vector<Bet> bets = Bets({4.2, 4.2, 3}, {30, 26, 20});
    const std::vector<double> stakes{0.05, 0.05, 0};
    const auto grid = DrawdownChances(bets, BetMode::Exclusive, stakes);
    for (std::size_t l = 0; l < 4; ++l) {
        const RuinBounds exact = WholeBetRuin({0.56, 2.1, 0.1}, kDrawdownLevels[l], {1e-4});
        EXPECT_TRUE(grid[l].converged) << kDrawdownLevels[l];
        EXPECT_LE(grid[l].lower, exact.upper + 1e-12) << kDrawdownLevels[l];
        EXPECT_GE(grid[l].upper, exact.lower - 1e-12) << kDrawdownLevels[l];
    }
}

// At the joint Kelly stakes E[1/W] = 1, so Lundberg's exponent is 1 and each chance lies between x·W_min
// and x; the grid narrows it to the width.
TEST(ChancesAtJointKelly, ConvergeInsideLundbergsBracket) {
    const std::vector<Bet> bets = Bets({2, 2.2, 3.1, 1.8}, {55, 50, 36, 60});
    const std::vector<double> f = IndependentKelly(bets);
    const double worst = 1 - std::accumulate(f.begin(), f.end(), 0.0);
    const auto chances = DrawdownChances(bets, BetMode::Independent, f);
    for (std::size_t l = 0; l < 4; ++l) {
        const double x = kDrawdownLevels[l];
        EXPECT_TRUE(chances[l].converged) << x;
        EXPECT_LE(chances[l].upper - chances[l].lower, 1e-3) << x;
        EXPECT_GE(chances[l].lower, x * worst - 1e-12) << x;
        EXPECT_LE(chances[l].upper, x + 1e-12) << x;
        EXPECT_LE(chances[l].lower, chances[l].upper);
    }
}

// Seeded bankrolls, each played until it falls to the level or climbs so high that Lundberg's bound leaves
// it a chance below 1e-5 of ever coming down; the share that fell must lie in the bracket to within four
// standard errors (and the simulation's own truncation). A bracket left unfinished by its work limit must
// hold the simulated share all the same.
struct SimulationRow {
    const char* name;
    BetMode mode;
    std::vector<double> odds;
    std::vector<double> percents;
    double fraction;
    bool converges; // within the default work
};

class ChancesSimulated : public ::testing::TestWithParam<SimulationRow> {};

TEST_P(ChancesSimulated, AgreeWithinTheStandardError) {
    const SimulationRow& row = GetParam();
    const std::vector<Bet> bets = Bets(row.odds, row.percents);
    const StakePlan plan = PlanStakes({bets, row.mode, row.fraction, {}, {}});
    const auto chances = DrawdownChances(bets, row.mode, plan.stakes);
    std::mt19937_64 random(1804);
    std::uniform_real_distribution<double> unit(0, 1);
    constexpr int kPaths = 4000;
    for (std::size_t l = 0; l < 4; l += 3) {
        const double floor = std::log(kDrawdownLevels[l]);
        const double ceiling = 12 / 0.5; // log-bank from which even α = 0,5 leaves e^−12 of a chance
        int fell = 0;
        for (int path = 0; path < kPaths; ++path) {
            double logBank = 0;
            while (logBank > floor && logBank < ceiling) {
                double bank = 1 - plan.total;
                if (row.mode == BetMode::Independent) {
                    for (std::size_t i = 0; i < bets.size(); ++i) {
                        if (unit(random) < bets[i].probability) {
                            bank += plan.stakes[i] * bets[i].odds;
                        }
                    }
                } else {
                    double u = unit(random);
                    for (std::size_t i = 0; i < bets.size(); ++i) {
                        if (u < bets[i].probability) {
                            bank += plan.stakes[i] * bets[i].odds;
                            break;
                        }
                        u -= bets[i].probability;
                    }
                }
                logBank += std::log(bank);
            }
            fell += logBank <= floor ? 1 : 0;
        }
        const double share = static_cast<double>(fell) / kPaths;
        const double error = std::sqrt(std::max(share * (1 - share), 1e-4) / kPaths);
        EXPECT_EQ(chances[l].converged, row.converges);
        EXPECT_GE(share, chances[l].lower - 4 * error) << kDrawdownLevels[l];
        EXPECT_LE(share, chances[l].upper + 4 * error) << kDrawdownLevels[l];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Seeded, ChancesSimulated,
    ::testing::Values(
        SimulationRow{"ThreeMatchesFullKelly", BetMode::Independent, {2, 2.5, 1.7}, {56, 45, 63}, 1, true},
        SimulationRow{"ThreeMatchesHalfKelly", BetMode::Independent, {2, 2.5, 1.7}, {56, 45, 63}, 0.5, true},
        // A thousand results, enough that the grid lays the jumps out cell by cell.
        SimulationRow{"TenMatchesFullKelly",
                      BetMode::Independent,
                      {1.69, 3.09, 2.17, 1.93, 2.61, 1.59, 2.84, 1.98, 2.36, 1.79},
                      {62, 35, 48, 55, 41, 66, 38, 52, 45, 58},
                      1,
                      true},
        SimulationRow{"FiveRunnersFullKelly",
                      BetMode::Exclusive,
                      {5.5, 2.625, 3.25, 6, 21},
                      {20, 40, 30, 8, 2},
                      1,
                      false}),
    RowName());

// Two certain brackets of the same chance must overlap, however differently they were narrowed. The default
// bracket is checked against one several times narrower, reached on finer cells after other cycles: a bound
// that was not certain (a certificate passed on a residual it should have refused, a margin too thin, a
// top that leaks) would sit off the narrower bracket by more than its own width. The rows cover a walk of
// few results swept plainly (two bets), one the cycles solve (three) and one of a thousand results (ten).
struct FinerRow {
    const char* name;
    std::vector<double> odds;
    std::vector<double> percents;
    double fraction;
    double finer; // the width of the reference bracket
};

class ChancesAgainstAFinerGrid : public ::testing::TestWithParam<FinerRow> {};

TEST_P(ChancesAgainstAFinerGrid, OverlapIt) {
    const FinerRow& row = GetParam();
    const std::vector<Bet> bets = Bets(row.odds, row.percents);
    const StakePlan plan = PlanStakes({bets, BetMode::Independent, row.fraction, {}, {}});
    const auto chances = DrawdownChances(bets, BetMode::Independent, plan.stakes);
    const auto finer = DrawdownChances(bets, BetMode::Independent, plan.stakes, {row.finer, 40'000'000'000});
    for (std::size_t l = 0; l < 4; ++l) {
        EXPECT_TRUE(chances[l].converged) << kDrawdownLevels[l];
        ASSERT_TRUE(finer[l].converged) << kDrawdownLevels[l];
        EXPECT_LE(chances[l].lower, finer[l].upper) << kDrawdownLevels[l];
        EXPECT_GE(chances[l].upper, finer[l].lower) << kDrawdownLevels[l];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Named, ChancesAgainstAFinerGrid,
    ::testing::Values(FinerRow{"TwoMatchesHalfKelly", {2, 2.2}, {55, 50}, 0.5, 4e-4},
                      FinerRow{"ThreeMatchesFullKelly", {2, 2.5, 1.7}, {56, 45, 63}, 1, 2e-4},
                      FinerRow{"TenMatchesFullKelly",
                               {1.69, 3.09, 2.17, 1.93, 2.61, 1.59, 2.84, 1.98, 2.36, 1.79},
                               {62, 35, 48, 55, 41, 66, 38, 52, 45, 58},
                               1,
                               5e-4}),
    RowName());

// Two coins at even odds and equal stakes: one won and one lost leave the bank exactly as it was, a step of
// 0 that lies on an edge of every grid. The grid must still finish with a bracket inside Lundberg's.
TEST(ChancesWithAnUnchangedResult, FinishInsideLundbergsBracket) {
    const std::vector<Bet> bets = Bets({2, 2}, {55, 55});
    const std::vector<double> f = IndependentKelly(bets);
    const auto chances = DrawdownChances(bets, BetMode::Independent, f);
    for (std::size_t l = 0; l < 4; ++l) {
        EXPECT_LE(chances[l].lower, chances[l].upper);
        EXPECT_LE(chances[l].upper, kDrawdownLevels[l] + 1e-12);
        EXPECT_LT(chances[l].upper - chances[l].lower, 0.01) << kDrawdownLevels[l];
    }
}

TEST(ChancesUnderAWorkLimit, AreTheBracketSoFarMarkedUnfinished) {
    const std::vector<Bet> bets = Bets({2, 2.2, 3.1, 1.8}, {55, 50, 36, 60});
    const std::vector<double> f = IndependentKelly(bets);
    const auto chances = DrawdownChances(bets, BetMode::Independent, f, {1e-3, 1000});
    bool any = false;
    for (std::size_t l = 0; l < 4; ++l) {
        EXPECT_LE(chances[l].lower, chances[l].upper);
        EXPECT_LE(chances[l].upper, kDrawdownLevels[l] + 1e-12);
        any = any || !chances[l].converged;
    }
    EXPECT_TRUE(any);
}

TEST(ChancesOfLosingStakes, AreCertainRuin) {
    const std::vector<Bet> bets = Bets({2, 2}, {55, 55});
    const auto chances = DrawdownChances(bets, BetMode::Independent, std::vector<double>{0.3, 0.3});
    for (const ChanceBracket& c : chances) {
        EXPECT_EQ(c.lower, 1);
        EXPECT_EQ(c.upper, 1);
    }
    EXPECT_THROW(DrawdownChances(bets, BetMode::Independent, std::vector<double>{0.6, 0.4}), EBetSetError);
}

TEST(ChosenRiskForSeveralBets, HoldsTheMomentAndTheCertifiedChance) {
    const std::vector<Bet> bets = Bets({2, 2.5, 1.7}, {56, 45, 63});
    const RiskLimit risk{0.6, 0.2};
    const StakePlan plan = PlanStakes({bets, BetMode::Independent, 1, {}, risk});
    ASSERT_EQ(plan.outcome, PlanOutcome::Ok);
    const double lambda = std::log(0.2) / std::log(0.6);
    double moment = 0;
    for (std::size_t o = 0; o < 8; ++o) {
        double q = 1;
        double w = 1;
        for (std::size_t i = 0; i < 3; ++i) {
            const bool won = ((o >> i) & 1U) != 0;
            q *= won ? bets[i].probability : 1 - bets[i].probability;
            w += plan.stakes[i] * (won ? bets[i].odds - 1 : -1);
        }
        moment += q * std::pow(w, -lambda);
    }
    EXPECT_LE(moment, 1);
    EXPECT_GT(moment, 1 - 1e-6);
    EXPECT_LE(DrawdownChances(bets, BetMode::Independent, plan.stakes)[0].upper, 0.2);
    // The best stakes along the Kelly direction that meet the constraint grow no faster.
    const std::vector<double> kelly = IndependentKelly(bets);
    double low = 0;
    double high = 1;
    for (int i = 0; i < 60; ++i) {
        const double t = 0.5 * (low + high);
        std::vector<double> scaled = kelly;
        for (double& s : scaled) {
            s *= t;
        }
        const auto c = DrawdownChances(bets, BetMode::Independent, scaled, {1, 1});
        (c[0].upper <= 0.2 ? low : high) = t;
    }
    std::vector<double> scaled = kelly;
    for (double& s : scaled) {
        s *= low;
    }
    EXPECT_GE(plan.growth, GrowthPercent(bets, BetMode::Independent, scaled) - 1e-9);
}

TEST(ChosenRiskForOneBet, IsTheLargestStakeWhoseExactChanceMeetsIt) {
    const std::vector<Bet> bets = Bets({2}, {55});
    const RiskLimit risk{0.6, 0.3};
    const StakePlan plan = PlanStakes({bets, BetMode::Independent, 1, {}, risk});
    ASSERT_EQ(plan.outcome, PlanOutcome::Ok);
    const double stake = plan.stakes[0];
    EXPECT_GT(stake, 0);
    EXPECT_LT(stake, 0.1);
    EXPECT_LE(WholeBetRuin({0.55, 2, stake}, 0.6, {1e-5}).upper, 0.3);
    EXPECT_GT(WholeBetRuin({0.55, 2, stake + 1e-4}, 0.6, {1e-5}).upper, 0.3);
    // A risk the Kelly stake already keeps leaves the Kelly stake.
    EXPECT_NEAR(PlanStakes({bets, BetMode::Independent, 1, {}, RiskLimit{0.6, 0.7}}).stakes[0], 0.1, 1e-12);
}

struct RefusalRow {
    const char* name;
    BetMode mode;
    std::vector<Bet> bets;
    const char* says;
};

class BadSets : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(BadSets, AreRefusedWithAReason) {
    const RefusalRow& row = GetParam();
    try {
        PlanStakes({row.bets, row.mode, 1, {}, {}});
        FAIL() << "accepted";
    } catch (const EBetSetError& error) {
        EXPECT_NE(error.Message().find(row.says), std::string::npos) << error.Message();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, BadSets,
    ::testing::Values(
        RefusalRow{"NoBets", BetMode::Independent, {}, "ни одной"},
        RefusalRow{"TwentyOneEvents", BetMode::Independent, std::vector<Bet>(21, Bet{"", 2, 0.55, 0}),
                   "не больше 20"},
        RefusalRow{"ExclusiveOverAHundred",
                   BetMode::Exclusive,
                   {{"А", 2, 0.6, 0}, {"Б", 2, 0.5, 0}},
                   "больше 100 %"},
        RefusalRow{
            "CertainEvent", BetMode::Independent, {{"Верняк", 2, 1, 0}}, "Ставка 1 («Верняк»): вероятность"},
        RefusalRow{
            "OddsOfOne", BetMode::Independent, {{"", 2, 0.5, 0}, {"", 1, 0.5, 0}}, "Ставка 2: коэффициент"},
        RefusalRow{"FullCommission", BetMode::Exclusive, {{"", 2, 0.5, 1}}, "комиссия"}),
    RowName());

TEST(BadRequests, AreRefused) {
    const std::vector<Bet> bets = Bets({2}, {55});
    EXPECT_THROW(PlanStakes({bets, BetMode::Independent, 0, {}, {}}), EBetSetError);
    EXPECT_THROW(PlanStakes({bets, BetMode::Independent, 1.5, {}, {}}), EBetSetError);
    EXPECT_THROW(PlanStakes({bets, BetMode::Independent, 1, 0.0, {}}), EBetSetError);
    EXPECT_THROW(PlanStakes({bets, BetMode::Independent, 1, {}, RiskLimit{1, 0.1}}), EBetSetError);
    EXPECT_THROW(GrowthPercent(bets, BetMode::Independent, std::vector<double>{-0.1}), EBetSetError);
    EXPECT_THROW(DrawdownChances(bets, BetMode::Independent, std::vector<double>{0.1, 0.1}), EBetSetError);
}

TEST(TwentyEvents, AreSolvedExactly) {
    std::mt19937_64 random(1805);
    const std::vector<Bet> bets = RandomEvents(random, 20, 0.01, 0.08);
    const std::vector<double> f = IndependentKelly(bets);
    const std::vector<double> slope = Slopes(bets, f);
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_NEAR(f[i] > 0 ? slope[i] : std::max(0.0, slope[i]), 0, 1e-9) << i;
    }
}

// The window's edit of one cell: fifteen independent matches, as its benchmark types them.
std::vector<Bet> FifteenMatches(double firstPercent) {
    std::vector<Bet> bets;
    for (int i = 0; i < 15; ++i) {
        bets.push_back({"", 1.9 + 0.01 * (i % 10), (53 + i % 5) / 100.0, 0});
    }
    bets[0].probability = firstPercent / 100;
    return bets;
}

struct WarmStartRow {
    const char* name;
    std::vector<Bet> bets;
    BetMode mode;
    std::optional<RiskLimit> risk;
    std::vector<double> start;
};

class WarmStart : public ::testing::TestWithParam<WarmStartRow> {};

// A start only saves work: from any start, fitting or not, the plan is the one solved from nothing.
TEST_P(WarmStart, GivesTheColdStartPlan) {
    const WarmStartRow& row = GetParam();
    const PlanRequest request{row.bets, row.mode, 1, {}, row.risk};
    const StakePlan cold = PlanStakes(request);
    const StakePlan warm = PlanStakes(request, nullptr, row.start);
    EXPECT_EQ(warm.outcome, cold.outcome);
    ASSERT_EQ(warm.stakes.size(), cold.stakes.size());
    for (std::size_t i = 0; i < cold.stakes.size(); ++i) {
        EXPECT_NEAR(warm.kelly[i], cold.kelly[i], 1e-9) << i;
        EXPECT_NEAR(warm.stakes[i], cold.stakes[i], 1e-9) << i;
    }
    EXPECT_NEAR(warm.growth, cold.growth, 1e-10);
}

const std::vector<double> kFifteenBefore =
    PlanStakes({FifteenMatches(56), BetMode::Independent, 1, {}, {}}).kelly;

std::vector<double> Changed(std::vector<double> stakes, std::size_t i, double value) {
    stakes[i] = value;
    return stakes;
}

INSTANTIATE_TEST_SUITE_P(
    Plans, WarmStart,
    ::testing::Values(
        WarmStartRow{"OneCellEditedOfFifteen", FifteenMatches(57), BetMode::Independent, {}, kFifteenBefore},
        WarmStartRow{"EditTakesTheValueAway", FifteenMatches(50), BetMode::Independent, {}, kFifteenBefore},
        WarmStartRow{"UnderAChosenRisk", FifteenMatches(57), BetMode::Independent, RiskLimit{0.6, 0.05},
                     kFifteenBefore},
        WarmStartRow{"ARowAdded",
                     FifteenMatches(56),
                     BetMode::Independent,
                     {},
                     std::vector<double>(kFifteenBefore.begin(), kFifteenBefore.end() - 1)},
        WarmStartRow{"NotANumber",
                     FifteenMatches(57),
                     BetMode::Independent,
                     {},
                     Changed(kFifteenBefore, 3, std::nan(""))},
        WarmStartRow{"NegativeCountsAsNothing",
                     FifteenMatches(57),
                     BetMode::Independent,
                     {},
                     Changed(kFifteenBefore, 3, -0.2)},
        WarmStartRow{"StakingMoreThanTheBank",
                     FifteenMatches(57),
                     BetMode::Independent,
                     {},
                     Changed(kFifteenBefore, 3, 0.9)},
        WarmStartRow{"BetsWithoutValueStaked",
                     Bets({2, 1.5, 3.1}, {55, 50, 36}),
                     BetMode::Independent,
                     {},
                     {0, 0.3, 0.2}},
        WarmStartRow{"OutcomesOfOneEventNeedNone",
                     Bets({2.6, 2.4, 4.3}, {40, 40, 20}),
                     BetMode::Exclusive,
                     {},
                     {0.5, 0.1, 0.1}}),
    RowName{});

TEST(CancelledChances, RaiseEAbort) {
    const std::atomic<bool> cancel{true};
    const std::vector<Bet> bets = Bets({2, 2.2, 3.1}, {55, 50, 36});
    const std::vector<double> f = IndependentKelly(bets);
    EXPECT_THROW(DrawdownChances(bets, BetMode::Independent, f, {}, &cancel), EAbort);
    EXPECT_THROW(
        DrawdownChances(Bets({2}, {55}), BetMode::Independent, std::vector<double>{0.1}, {}, &cancel),
        EAbort);
    EXPECT_THROW(PlanStakes({bets, BetMode::Independent, 1, {}, RiskLimit{0.6, 0.1}}, &cancel), EAbort);
}

} // namespace
} // namespace brelmont
