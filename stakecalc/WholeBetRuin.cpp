// SPDX-License-Identifier: MIT
#include "stakecalc/WholeBetRuin.h"

#include "base/Exception.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace brelmont {

namespace {

using Extended = long double;

// Mass this small is worth less than the rounding of the figures it would join; dropping it only widens
// the bracket by its own size.
constexpr double kNegligibleMass = 1e-13;
// A state whose whole upper bound is below this goes into the bracket as it is, without further bets.
constexpr double kRetireBound = 1e-13;
// Loss counts beyond this never fit in the work a bracket can be given.
constexpr Extended kMostLosses = 1e9L;
// Win counts between two bound checks: a check costs about one step.
constexpr std::int64_t kCheckEvery = 8;

struct Steps {
    Extended win;   // ln W > 0
    Extended loss;  // ln L < 0
    Extended level; // ln x < 0
};

bool Finite(double v) {
    return std::isfinite(v);
}

// The least loss count that ruins a bank after `wins` wins: the least l with wins·ln W + l·ln L <= ln x.
// A bank that lands exactly on the level has fallen to it: 1 − 0,4 is 0,6 to the bettor, however the two
// logarithms round. So the comparison allows for the rounding of the logarithms and of the sum, a few
// parts in 10^15 of the terms, far below any difference a bank of money can show.
std::int64_t RuinousLosses(const Steps& st, std::int64_t wins) {
    const Extended up = static_cast<Extended>(wins) * st.win;
    auto l = static_cast<std::int64_t>(std::ceil((up - st.level) / -st.loss));
    if (l < 0) {
        l = 0;
    }
    const auto ruined = [&](std::int64_t losses) {
        const Extended down = static_cast<Extended>(losses) * st.loss;
        const Extended slack = (up - down - st.level) * 1e-15L;
        return up + down <= st.level + slack;
    };
    while (l > 0 && ruined(l - 1)) {
        --l;
    }
    while (!ruined(l)) {
        ++l;
    }
    return l;
}

Extended Balance(const WholeBetBet& bet, Extended r, Extended win, Extended loss) {
    const Extended p = bet.p;
    return p * std::expm1(-r * win) + (1 - p) * std::expm1(-r * loss);
}

} // namespace

LundbergExponent LundbergRoot(const WholeBetBet& bet) {
    if (!(bet.p > 0 && bet.p < 1 && bet.k > 1 && bet.stake > 0 && bet.stake < 1 && Finite(bet.k))) {
        throw EInvalidOp();
    }
    const Extended win = std::log1p(static_cast<Extended>(bet.stake) * (static_cast<Extended>(bet.k) - 1));
    const Extended loss = std::log1p(-static_cast<Extended>(bet.stake));
    if (!(bet.p * win + (1 - bet.p) * loss > 0)) {
        throw EInvalidOp();
    }
    // The balance is convex in r, zero at 0, falling there (positive growth) and rising without bound, so
    // [0, high] holds exactly one positive root once the balance at high is positive.
    Extended low = 0;
    Extended high = 1;
    // A tiny stake has an exponent near 1/stake, so the doubling may run up to the extended range.
    for (int i = 0; i < 16400 && Balance(bet, high, win, loss) <= 0; ++i) {
        low = high;
        high *= 2;
    }
    if (!(Balance(bet, high, win, loss) > 0)) {
        throw EInvalidOp();
    }
    for (int i = 0; i < 256; ++i) {
        const Extended mid = low + (high - low) / 2;
        if (mid <= low || mid >= high) {
            break;
        }
        (Balance(bet, mid, win, loss) > 0 ? high : low) = mid;
    }
    return {low, high};
}

RuinBounds WholeBetRuin(const WholeBetBet& bet, double remaining, const RuinLimits& limits,
                        const std::atomic<bool>* cancel) {
    if (!(bet.p >= 0 && bet.p <= 1 && bet.k > 1 && Finite(bet.k) && bet.stake >= 0 && bet.stake < 1 &&
          remaining > 0 && remaining < 1 && limits.width >= 0)) {
        throw EInvalidOp();
    }
    // A bank that never moves never falls; one that never wins falls for certain.
    if (bet.stake == 0 || bet.p == 1) {
        return {0, 0, true, 0};
    }
    if (bet.p == 0) {
        return {1, 1, true, 0};
    }
    const Steps st{std::log1p(static_cast<Extended>(bet.stake) * (static_cast<Extended>(bet.k) - 1)),
                   std::log1p(-static_cast<Extended>(bet.stake)), std::log(static_cast<Extended>(remaining))};
    const Extended p = bet.p;
    const Extended q = 1 - p;
    // No growth: the log-bank is a recurrent or falling walk and reaches every level below its start.
    if (!(p * st.win + q * st.loss > 0)) {
        return {1, 1, true, 0};
    }

    const LundbergExponent r = LundbergRoot(bet);
    // Upper bounds use the low end of r (a smaller exponent only loosens them), lower bounds the high end.
    const Extended upStep = std::exp(r.low * st.loss); // e^(-r|ln L|): one loss further from safety
    const Extended lowStep = std::exp(r.high * st.loss);
    const Extended lowOvershoot = lowStep; // a ruined path stops less than one loss below ln x

    const auto pd = static_cast<double>(p);
    const auto qd = static_cast<double>(q);

    // mass[i]: chance of being alive just after `wins` wins with lo + i losses.
    std::vector<double> mass{1.0};
    std::size_t first = 0;
    std::int64_t lo = 0;
    std::int64_t wins = 0;
    double absorbed = 0;
    double setAside = 0; // mass counted as certain ruin in the upper bound only
    std::int64_t work = 0;

    RuinBounds result;
    const auto bracket = [&] {
        // From the state nearest ruin downwards, each further loss count is one win's worth safer.
        const std::int64_t top = lo + static_cast<std::int64_t>(mass.size() - first) - 1;
        const Extended distance = static_cast<Extended>(wins) * st.win +
                                  static_cast<Extended>(top) * st.loss -
                                  st.level; // > 0 for every alive state
        Extended up = std::exp(-r.low * distance);
        Extended down = std::exp(-r.high * distance);
        Extended upSum = 0;
        Extended downSum = 0;
        for (std::size_t i = mass.size(); i-- > first;) {
            upSum += mass[i] * up;
            downSum += mass[i] * down;
            up *= upStep;
            down *= lowStep;
        }
        result.lower = static_cast<double>(absorbed + downSum * lowOvershoot);
        result.upper = static_cast<double>(absorbed + upSum + setAside);
        if (result.upper > 1) {
            result.upper = 1;
        }
        result.wins = wins;
        result.converged = result.upper - result.lower <= limits.width;
        return result.converged;
    };

    // A stake so small that the level lies more losses away than any computation could carry: the
    // bracket from the start is all there is, and it is honest about its width.
    if (bracket() || -st.level / -st.loss > kMostLosses) {
        return result;
    }
    for (;;) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            throw EAbort();
        }
        // A run of losses, each either ruining the bank or followed by a win at that loss count.
        const std::int64_t ruinous = RuinousLosses(st, wins);
        double carry = 0;
        const std::size_t stored = mass.size();
        std::size_t i = first;
        bool ranToRuin = true;
        for (std::int64_t losses = lo; losses < ruinous; ++losses, ++i) {
            const double here = i < stored ? mass[i] : 0.0;
            carry = here + qd * carry;
            if (i >= stored && carry < kNegligibleMass) {
                setAside += carry;
                ranToRuin = false;
                break;
            }
            if (i < stored) {
                mass[i] = pd * carry;
            } else {
                mass.push_back(pd * carry);
            }
        }
        if (ranToRuin) {
            absorbed += qd * carry;
        }
        work += static_cast<std::int64_t>(i - first) + 1;
        ++wins;

        while (mass.size() - first > 1 && mass.back() < kNegligibleMass) {
            setAside += mass.back();
            mass.pop_back();
        }
        // The safest states lose weight fastest; once their whole upper bound is negligible they join the
        // bracket as they stand.
        while (mass.size() - first > 1) {
            const Extended distance =
                static_cast<Extended>(wins) * st.win + static_cast<Extended>(lo) * st.loss - st.level;
            const double bound = static_cast<double>(mass[first] * std::exp(-r.low * distance));
            if (bound >= kRetireBound) {
                break;
            }
            setAside += bound;
            ++first;
            ++lo;
        }
        if (first > 4096 && first * 2 > mass.size()) {
            mass.erase(mass.begin(), mass.begin() + static_cast<std::ptrdiff_t>(first));
            first = 0;
        }

        if (wins % kCheckEvery == 0 || work >= limits.maxWork) {
            if (bracket() || work >= limits.maxWork) {
                return result;
            }
        }
    }
}

} // namespace brelmont
