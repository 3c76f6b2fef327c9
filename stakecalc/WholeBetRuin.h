// SPDX-License-Identifier: MIT
// The exact chance that a bank betting a fixed fraction of itself on a run of whole bets ever falls to a
// given share of its start, with a certified error. The calculator's four result fields use a continuous
// approximation; the risk chart shows this figure beside it so that a bettor sees how far the two part.
//
// The computation is deterministic. After w wins and l losses the log-bank is w·ln W + l·ln L, W = 1 + s(k −
// 1) and L = 1 − s; the bank is ruined at the first bet where that sum is at or below ln x. Between two wins
// the losses come as a geometric run, so the probability mass is carried win by win over the loss count, and
// the threshold on losses for each win count is an exact integer: no grid of log-bank values is ever rounded.
// The mass still alive after some wins is bounded on both sides with Lundberg's exponent r (the positive root
// of p·W^−r + (1 − p)·L^−r = 1): from log-bank y its chance of ruin lies between e^−r(y − ln x)·e^−r|ln L|
// and e^−r(y − ln x), since a ruined path stops less than one loss below ln x. The work stops once the two
// bounds are within the requested width.
#pragma once

#include <atomic>
#include <cstdint>

namespace brelmont {

struct WholeBetBet {
    double p = 0;     // chance of winning one bet, 0 <= p <= 1
    double k = 0;     // decimal odds, stake included, k > 1
    double stake = 0; // fraction of the current bank staked, 0 <= stake < 1
};

struct RuinBounds {
    double lower = 0;       // the chance of ruin is at least this
    double upper = 0;       // and at most this
    bool converged = false; // upper - lower is within the requested width
    std::int64_t wins = 0;  // win counts carried before stopping
};

struct RuinLimits {
    double width = 1e-4;                  // stop once upper - lower is at most this (0.01 percentage points)
    std::int64_t maxWork = 4'000'000'000; // give up (converged = false) after this many state updates
};

// Lundberg's exponent for a bet with positive expected log-growth: the positive root r of
// p·W^−r + (1 − p)·L^−r = 1, returned as a bracket [low, high] a few units in the last place wide. Domain:
// 0 < p < 1, k > 1, 0 < stake < 1, p·ln W + (1 − p)·ln L > 0; raises EInvalidOp outside it.
struct LundbergExponent {
    long double low = 0;
    long double high = 0;
};
LundbergExponent LundbergRoot(const WholeBetBet& bet);

// The chance that the bank ever falls to `remaining` (a fraction of its start) betting `bet.stake` of the
// current bank on every bet. Domain: 0 <= p <= 1, k > 1, 0 <= stake < 1, 0 < remaining < 1, all finite;
// raises EInvalidOp outside it. A bet whose expected log-growth is not positive ruins every bank: [1, 1].
// `cancel`, when given, is read between win counts; once it is set the computation raises EAbort.
RuinBounds WholeBetRuin(const WholeBetBet& bet, double remaining, const RuinLimits& limits = {},
                        const std::atomic<bool>* cancel = nullptr);

} // namespace brelmont
