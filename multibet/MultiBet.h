// SPDX-License-Identifier: MIT
// Stakes for several bets at once. A bettor who stakes every bet of a Saturday as if it were alone over-bets
// the bank; this module sizes them together, for the outcomes of one event (at most one wins) or for
// independent events (each wins or loses on its own), and says what the joint stakes mean: their expected
// log-growth per round, the single-bet stakes beside them, and the certified chances that the bank, playing
// the same set again and again, ever falls to 60, 40, 20 or 10 % of its start.
//
// Exclusive outcomes have a closed-form Kelly solution. Independent events maximise E[ln W] over all 2ⁿ
// results by projected Newton steps; the round's results are enumerated exactly, which bounds n at
// kMaxIndependentEvents. A chosen risk ("the chance of ever falling to x stays at or below β") is met for one
// bet with the exact whole-bet chances and for several with the convex constraint E[W^−λ] <= 1,
// λ = ln β / ln x, which keeps Lundberg's bound x^α at or below β.
//
// Stakes are fractions of the current bank, in input order; commission enters through the effective odds.
// PlanStakes is quick enough for the user-interface thread for a handful of bets (20 independent events take
// a third of a second, and a chosen risk several solves, so it takes `cancel`); DrawdownChances is meant for
// a worker thread and may be cancelled.
#pragma once

#include "multibet/BetSetError.h"
#include "stakecalc/WholeBetRuin.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont {

// The most independent events staked together: the round has 2ⁿ results, all of them weighed exactly.
inline constexpr std::size_t kMaxIndependentEvents = 20;
// The most bets in one set (outcomes of one event; independent events stop at kMaxIndependentEvents).
inline constexpr std::size_t kMaxBets = 100;
// The longest bet name, field and line of a bets file, in bytes.
inline constexpr std::size_t kMaxNameLength = 100;
inline constexpr std::size_t kMaxFieldLength = 100;
inline constexpr std::size_t kMaxLineLength = 400;

struct Bet {
    std::string name;
    double odds = 0;        // decimal odds, stake included, > 1
    double probability = 0; // chance of winning, a fraction, 0 < p < 1
    double commission = 0;  // the exchange's share of net winnings, 0 <= c < 1
};

enum class BetMode {
    Exclusive,  // outcomes of one event: at most one wins
    Independent // separate events, each won or lost on its own
};

// Checks a set: 1..kMaxBets bets (1..kMaxIndependentEvents when independent), finite values in the ranges
// of Bet, and exclusive chances adding up to at most 1. Raises EBetSetError naming the first bet at fault.
void CheckBets(std::span<const Bet> bets, BetMode mode);

// The full Kelly stakes. Domain: as CheckBets, which they call first.
std::vector<double> ExclusiveKelly(std::span<const Bet> bets);
// `start`, when it holds a stake for each bet, is where the independent solver begins (see PlanStakes).
std::vector<double> IndependentKelly(std::span<const Bet> bets, std::span<const double> start = {});
std::vector<double> KellyStakes(std::span<const Bet> bets, BetMode mode);

// Each bet's Kelly stake as if it were alone: max(0, (p·E − 1)/(E − 1)) with E the effective odds.
std::vector<double> SingleKellyStakes(std::span<const Bet> bets);

// The expected log-growth of the bank per round, in percent, for the given stakes (one per bet). Domain:
// bets as CheckBets, stakes non-negative and finite. Stakes that can lose the whole bank in some result
// give −infinity.
double GrowthPercent(std::span<const Bet> bets, BetMode mode, std::span<const double> stakes);

// The four levels (remaining share of the starting bank) at which the chances are given.
inline constexpr std::array<double, 4> kDrawdownLevels{0.6, 0.4, 0.2, 0.1};

struct ChanceBracket {
    double remaining = 0;   // the level, e.g. 0.6
    double lower = 0;       // the chance of ever falling to it is at least this (a fraction)
    double upper = 0;       // and at most this
    bool converged = false; // upper − lower is within the requested width
};

struct ChanceLimits {
    double width = 1e-3;                  // 0,1 percentage points
    std::int64_t maxWork = 3'000'000'000; // cell updates times their terms (about half a second) before
                                          // giving up with the bracket so far
};

// The chances that the bank, staking `stakes` on the same set round after round, ever falls to each level.
// One bet uses the exact whole-bet computation. Several start from Lundberg's bracket [x^α·W_min^α, x^α]
// and narrow it on grids of log-bank cells: the ratio of the chance to Lundberg's bound is carried with an
// upper bound of its largest and a lower bound of its smallest value in each cell, a jump that may land in
// either of two cells taking the worse of them for each bound; multigrid cycles bring approximations to
// the cell equations' fixed point, and each is certified by checking that it satisfies them. The cells are
// made finer until the bracket is within `limits.width` or the work runs out (then `converged` is false
// and the bracket is as far as it got, still certain, rounding included). Stakes of no positive growth give
// [1, 1]; stakes that cannot lose give [0, 0]. Domain: bets as CheckBets, stakes non-negative, finite and
// leaving some bank in every possible result; raises EBetSetError outside it. Once `cancel` is set it raises
// EAbort.
std::array<ChanceBracket, 4> DrawdownChances(std::span<const Bet> bets, BetMode mode,
                                             std::span<const double> stakes, const ChanceLimits& limits = {},
                                             const std::atomic<bool>* cancel = nullptr);

// "The chance that the bank ever falls to `remaining` of its start stays at or below `chance`."
struct RiskLimit {
    double remaining = 0.6; // 0 < remaining < 1
    double chance = 0.1;    // 0 < chance < 1
};

struct PlanRequest {
    std::vector<Bet> bets;
    BetMode mode = BetMode::Independent;
    double fraction = 1;           // share of the full stakes, 0 < F <= 1 (0,5 for half Kelly)
    std::optional<double> cap;     // the most staked in total, a fraction, 0 < cap <= 1
    std::optional<RiskLimit> risk; // the chosen risk, if any
};

enum class PlanOutcome {
    Ok,
    NoValue,  // no bet has value: every stake is 0
    RiskUnmet // no stake but 0 keeps the chosen risk: every stake is 0
};

struct StakePlan {
    PlanOutcome outcome = PlanOutcome::Ok;
    std::vector<double> stakes;         // fractions of the bank, input order
    std::vector<double> kelly;          // the full Kelly stakes, before the risk, fraction and cap
    std::vector<double> single;         // each bet's Kelly stake alone, scaled by the fraction, input order
    double total = 0;                   // Σ stakes
    double growth = 0;                  // expected log-growth per round of `stakes`, percent
    std::optional<double> singleGrowth; // the growth of `single` placed together; none when they could lose
                                        // the whole bank
};

// The stakes for a request: the full Kelly stakes, or under a chosen risk the stakes of largest growth that
// keep it; then times the fraction, then scaled down to the cap. Raises EBetSetError for a request outside
// its domain (bets as CheckBets, the fraction, cap and risk in their ranges); EAbort once `cancel` is set.
// `start` is a warm start for independent events: the `kelly` of the plan before an edit of one value lies
// close to the new optimum, and the solver needs a step or two from there instead of a dozen from nothing.
// A start of another length, not finite, or staking so much that some result leaves no bank, is ignored;
// negative stakes in it count as 0. The stakes are the same either way, to the solver's tolerance.
StakePlan PlanStakes(const PlanRequest& request, const std::atomic<bool>* cancel = nullptr,
                     std::span<const double> start = {});

struct BetSetResult {
    StakePlan plan;
    std::array<ChanceBracket, 4> chances{};
};

// PlanStakes followed by DrawdownChances of its stakes: what the command line prints.
BetSetResult ComputeBetSet(const PlanRequest& request, const ChanceLimits& limits = {},
                           const std::atomic<bool>* cancel = nullptr);

} // namespace brelmont
