// SPDX-License-Identifier: MIT
#include "multibet/MultiBet.h"

#include "base/Text.h"
#include "multibet/DrawdownGrid.h"
#include "multibet/Odds.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <tuple>

namespace brelmont {

namespace {

void Poll(const std::atomic<bool>* cancel) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        throw EAbort();
    }
}

std::string BetLabel(std::span<const Bet> bets, std::size_t i) {
    std::string label = "Ставка " + std::to_string(i + 1);
    if (!bets[i].name.empty()) {
        label += " («" + std::string(CutUtf8(bets[i].name, 40)) + "»)";
    }
    return label;
}

std::vector<double> Effective(std::span<const Bet> bets) {
    std::vector<double> odds;
    odds.reserve(bets.size());
    for (const Bet& bet : bets) {
        odds.push_back(EffectiveOdds(bet.odds, bet.commission));
    }
    return odds;
}

void CheckStakes(std::span<const Bet> bets, std::span<const double> stakes) {
    if (stakes.size() != bets.size()) {
        throw EBetSetError("Ставок " + std::to_string(stakes.size()) + ", а событий " +
                           std::to_string(bets.size()));
    }
    for (std::size_t i = 0; i < stakes.size(); ++i) {
        if (!(stakes[i] >= 0) || !std::isfinite(stakes[i])) {
            throw EBetSetError(BetLabel(bets, i) + ": доля банка должна быть неотрицательным числом");
        }
    }
}

// The results of one round of the set and each bet's net return per unit staked in each of them. For
// independent events result o is the set of bets won, bit i for bet i; for exclusive outcomes result i < n
// is "bet i won" and result n "none of them won".
class Round {
public:
    Round(std::span<const Bet> bets, BetMode mode) : mode_(mode), n_(bets.size()), odds_(Effective(bets)) {
        if (mode_ == BetMode::Independent) {
            chance_.assign(std::size_t{1} << n_, 0);
            chance_[0] = 1;
            for (std::size_t i = 0; i < n_; ++i) {
                const std::size_t half = std::size_t{1} << i;
                const double p = bets[i].probability;
                for (std::size_t o = 0; o < half; ++o) {
                    chance_[o | half] = chance_[o] * p;
                    chance_[o] *= 1 - p;
                }
            }
        } else {
            double rest = 1;
            for (const Bet& bet : bets) {
                chance_.push_back(bet.probability);
                rest -= bet.probability;
            }
            chance_.push_back(std::max(0.0, rest));
        }
    }

    std::size_t Bets() const { return n_; }
    std::size_t Results() const { return chance_.size(); }
    double Chance(std::size_t o) const { return chance_[o]; }

    // The bank after each result, starting from 1, for stakes `f`.
    void Banks(std::span<const double> f, std::vector<double>& bank) const {
        const double kept = 1 - std::accumulate(f.begin(), f.end(), 0.0);
        bank.resize(chance_.size());
        if (mode_ == BetMode::Independent) {
            bank[0] = kept;
            for (std::size_t i = 0; i < n_; ++i) {
                const std::size_t half = std::size_t{1} << i;
                const double win = f[i] * odds_[i];
                for (std::size_t o = 0; o < half; ++o) {
                    bank[o | half] = bank[o] + win;
                }
            }
        } else {
            for (std::size_t i = 0; i < n_; ++i) {
                bank[i] = kept + f[i] * odds_[i];
            }
            bank[n_] = kept;
        }
    }

    // The net returns of results start .. start + count − 1 into the first `count` rows, one column per bet.
    void Returns(std::size_t start, Eigen::Index count, Eigen::MatrixXd& rows) const {
        for (std::size_t i = 0; i < n_; ++i) {
            const auto column = static_cast<Eigen::Index>(i);
            const double won = odds_[i] - 1;
            for (Eigen::Index r = 0; r < count; ++r) {
                const std::size_t o = start + static_cast<std::size_t>(r);
                const bool hit = mode_ == BetMode::Independent ? ((o >> i) & 1U) != 0 : o == i;
                rows(r, column) = hit ? won : -1;
            }
        }
    }

private:
    BetMode mode_;
    std::size_t n_;
    std::vector<double> odds_;
    std::vector<double> chance_;
};

// u(W) = ln W − μ·W^−λ: plain Kelly for μ = 0, and the Lagrangian of the risk constraint E[W^−λ] <= 1
// otherwise. Concave in W, and so in the stakes, for every μ >= 0 and λ > 0.
struct Utility {
    double mu = 0;
    double lambda = 0;
    double Value(double w) const { return std::log(w) - (mu > 0 ? mu * std::pow(w, -lambda) : 0); }
    double Slope(double w) const { return 1 / w + (mu > 0 ? mu * lambda * std::pow(w, -lambda - 1) : 0); }
    double Curvature(double w) const {
        return -1 / (w * w) - (mu > 0 ? mu * lambda * (lambda + 1) * std::pow(w, -lambda - 2) : 0);
    }
};

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

// E[u(W)] for stakes `f`; minus infinity where some possible result leaves no bank or the stakes add up to
// more than the bank.
double Expected(const Round& round, const Utility& u, std::span<const double> f, std::vector<double>& bank) {
    if (std::accumulate(f.begin(), f.end(), 0.0) > 1) {
        return kMinusInfinity;
    }
    round.Banks(f, bank);
    double value = 0;
    for (std::size_t o = 0; o < bank.size(); ++o) {
        const double q = round.Chance(o);
        if (q > 0) {
            if (!(bank[o] > 0)) {
                return kMinusInfinity;
            }
            value += q * u.Value(bank[o]);
        }
    }
    return value;
}

// The sums over every result of the round that a Newton step needs, from per-result weights: the gradient
// Σ slope·r_i and the negated Hessian Σ curve·r_i·r_j, where r_i = E_i·x_i − 1 is bet i's net return (E_i its
// effective odds, x_i = 1 when the result wins it). Both need only the weights' total, their sums over the
// results that win bet i, and for the Hessian over those that win both i and j. For exclusive outcomes
// result i alone wins bet i. For independent events one in-place pass per bet adds each result's weight into
// the same result with that bet lost; afterwards entry S holds the sum over the results that win at least
// the bets of S: n·2ⁿ⁻¹ additions instead of the n²·2ⁿ products of summing r_i·r_j result by result.
// `slope` and `curve` are overwritten.
void NewtonSums(BetMode mode, std::span<const double> odds, std::vector<double>& slope,
                std::vector<double>& curve, Eigen::VectorXd& gradient, Eigen::MatrixXd& negatedHessian) {
    const std::size_t n = odds.size();
    double slopeTotal = 0;
    double curveTotal = 0;
    std::vector<double> slopeWon(n);
    std::vector<double> curveWon(n);
    const auto bit = [](std::size_t i) { return std::size_t{1} << i; };
    if (mode == BetMode::Independent) {
        const std::size_t size = slope.size();
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t half = bit(i);
            for (std::size_t block = 0; block < size; block += 2 * half) {
                for (std::size_t o = block; o < block + half; ++o) {
                    slope[o] += slope[o + half];
                    curve[o] += curve[o + half];
                }
            }
        }
        slopeTotal = slope[0];
        curveTotal = curve[0];
        for (std::size_t i = 0; i < n; ++i) {
            slopeWon[i] = slope[bit(i)];
            curveWon[i] = curve[bit(i)];
        }
    } else {
        slopeTotal = std::accumulate(slope.begin(), slope.end(), 0.0);
        curveTotal = std::accumulate(curve.begin(), curve.end(), 0.0);
        std::copy_n(slope.begin(), n, slopeWon.begin());
        std::copy_n(curve.begin(), n, curveWon.begin());
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<Eigen::Index>(i);
        gradient(a) = odds[i] * slopeWon[i] - slopeTotal;
        for (std::size_t j = 0; j <= i; ++j) {
            const double both = i == j                         ? curveWon[i]
                                : mode == BetMode::Independent ? curve[bit(i) | bit(j)]
                                                               : 0;
            const double value =
                curveTotal - odds[i] * curveWon[i] - odds[j] * curveWon[j] + odds[i] * odds[j] * both;
            negatedHessian(a, static_cast<Eigen::Index>(j)) = value;
            negatedHessian(static_cast<Eigen::Index>(j), a) = value;
        }
    }
}

// Maximises E[u(W)] over f >= 0, Σf <= 1 by projected Newton steps: bets at 0 whose slope points below 0
// stay fixed, the others take a Newton step on their block of the Hessian, and the step is halved until the
// projected point gains enough. `odds` are the bets' effective odds and `mode` how the round's results win
// them, as in `round`.
std::vector<double> Maximise(const Round& round, BetMode mode, std::span<const double> odds, const Utility& u,
                             std::vector<double> f, const std::atomic<bool>* cancel) {
    const std::size_t n = round.Bets();
    const auto size = static_cast<Eigen::Index>(n);
    Eigen::VectorXd gradient(size);
    Eigen::MatrixXd hessian(size, size); // negated: positive definite
    std::vector<double> bank;
    std::vector<double> slope;
    std::vector<double> curve;
    std::vector<double> trial(n);
    double value = Expected(round, u, f, bank);
    for (int iteration = 0; iteration < 200; ++iteration) {
        Poll(cancel);
        round.Banks(f, bank);
        slope.resize(bank.size());
        curve.resize(bank.size());
        for (std::size_t o = 0; o < bank.size(); ++o) {
            const double q = round.Chance(o);
            slope[o] = q > 0 ? q * u.Slope(bank[o]) : 0;
            curve[o] = q > 0 ? -q * u.Curvature(bank[o]) : 0;
        }
        NewtonSums(mode, odds, slope, curve, gradient, hessian);
        std::vector<Eigen::Index> free;
        for (std::size_t i = 0; i < n; ++i) {
            if (f[i] > 0 || gradient(static_cast<Eigen::Index>(i)) > 0) {
                free.push_back(static_cast<Eigen::Index>(i));
            }
        }
        if (free.empty()) {
            break;
        }
        const auto m = static_cast<Eigen::Index>(free.size());
        Eigen::MatrixXd block(m, m);
        Eigen::VectorXd g(m);
        for (Eigen::Index a = 0; a < m; ++a) {
            g(a) = gradient(free[static_cast<std::size_t>(a)]);
            for (Eigen::Index b = 0; b < m; ++b) {
                block(a, b) = hessian(free[static_cast<std::size_t>(a)], free[static_cast<std::size_t>(b)]);
            }
        }
        const Eigen::LDLT<Eigen::MatrixXd> solver(block);
        Eigen::VectorXd step = solver.info() == Eigen::Success ? Eigen::VectorXd(solver.solve(g)) : g;
        if (!step.allFinite() || step.dot(g) <= 0) {
            step = g;
        }
        if (step.dot(g) < 1e-24) {
            break;
        }
        // Close to the optimum the objective no longer resolves the gain of a step, and Newton's full step
        // is the one to take.
        const bool close = step.dot(g) < 1e-10;
        bool moved = false;
        for (double t = 1; t > 1e-20; t *= 0.5) {
            trial = f;
            for (Eigen::Index a = 0; a < m; ++a) {
                const std::size_t i = static_cast<std::size_t>(free[static_cast<std::size_t>(a)]);
                trial[i] = std::max(0.0, f[i] + t * step(a));
            }
            double gain = 0;
            for (std::size_t i = 0; i < n; ++i) {
                gain += gradient(static_cast<Eigen::Index>(i)) * (trial[i] - f[i]);
            }
            const double next = Expected(round, u, trial, bank);
            if ((next >= value + 1e-4 * gain || close) && next > kMinusInfinity) {
                double change = 0;
                for (std::size_t i = 0; i < n; ++i) {
                    change = std::max(change, std::abs(trial[i] - f[i]));
                }
                f = trial;
                value = next;
                moved = change >= 1e-16;
                break;
            }
        }
        if (!moved) {
            break;
        }
    }
    return f;
}

// Where Maximise begins: `start` with negative stakes raised to 0, when it has a finite stake for each bet
// and leaves some bank in every result; nothing staked otherwise.
std::vector<double> FeasibleStart(const Round& round, std::span<const double> start) {
    std::vector<double> f(round.Bets(), 0);
    if (start.size() != f.size() ||
        !std::all_of(start.begin(), start.end(), [](double s) { return std::isfinite(s); })) {
        return f;
    }
    std::vector<double> clamped(start.begin(), start.end());
    for (double& s : clamped) {
        s = std::max(0.0, s);
    }
    std::vector<double> bank;
    return Expected(round, {}, clamped, bank) > kMinusInfinity ? clamped : f;
}

double Moment(const Round& round, std::span<const double> f, double lambda, std::vector<double>& bank) {
    round.Banks(f, bank);
    double sum = 0;
    for (std::size_t o = 0; o < bank.size(); ++o) {
        const double q = round.Chance(o);
        if (q > 0) {
            sum += q * std::pow(bank[o], -lambda);
        }
    }
    return sum;
}

// The stakes of largest growth with E[W^−λ] <= 1: the constrained optimum maximises the Lagrangian
// E[ln W − μ·W^−λ] for the multiplier μ at which the constraint just holds, and the moment falls as μ grows,
// so μ is bisected, keeping always the stakes of the side that meets the constraint.
std::vector<double> RiskStakes(std::span<const Bet> bets, BetMode mode, const std::vector<double>& kelly,
                               double lambda, const std::atomic<bool>* cancel) {
    const Round round(bets, mode);
    const std::vector<double> odds = Effective(bets);
    std::vector<double> bank;
    if (Moment(round, kelly, lambda, bank) <= 1) {
        return kelly;
    }
    double low = 0;
    double high = 1;
    std::vector<double> best = Maximise(round, mode, odds, {high, lambda}, kelly, cancel);
    for (int i = 0; Moment(round, best, lambda, bank) > 1; ++i) {
        if (i == 60) {
            return std::vector<double>(kelly.size(), 0);
        }
        low = high;
        high *= 4;
        best = Maximise(round, mode, odds, {high, lambda}, best, cancel);
    }
    for (int i = 0; i < 60 && high - low > 1e-10 * high; ++i) {
        const double middle = 0.5 * (low + high);
        std::vector<double> stakes = Maximise(round, mode, odds, {middle, lambda}, best, cancel);
        const double moment = Moment(round, stakes, lambda, bank);
        if (moment <= 1) {
            high = middle;
            best = std::move(stakes);
            if (moment > 1 - 1e-9) {
                break;
            }
        } else {
            low = middle;
        }
    }
    return best;
}

// One bet under a chosen risk: the largest stake up to Kelly whose exact certified chance meets it. The
// stake at which E[W^−λ] = 1 meets it by Lundberg's bound, so the search runs between it and Kelly.
double OneBetRiskStake(const Bet& bet, double kelly, const RiskLimit& risk, double lambda,
                       const std::atomic<bool>* cancel) {
    const double odds = EffectiveOdds(bet.odds, bet.commission);
    const RuinLimits limits{1e-5, 400'000'000};
    auto meets = [&](double stake) {
        const RuinBounds bounds =
            WholeBetRuin({bet.probability, odds, stake}, risk.remaining, limits, cancel);
        return bounds.upper <= risk.chance;
    };
    if (meets(kelly)) {
        return kelly;
    }
    auto moment = [&](double s) {
        return bet.probability * std::pow(1 + s * (odds - 1), -lambda) +
               (1 - bet.probability) * std::pow(1 - s, -lambda);
    };
    double low = 0;
    double high = kelly;
    if (moment(kelly) <= 1) {
        low = kelly;
    } else {
        // The moment is convex in the stake, 1 at 0 and falling there, so it crosses 1 once below Kelly.
        double below = 0;
        double above = kelly;
        for (int i = 0; i < 200 && above - below > 1e-15; ++i) {
            const double middle = 0.5 * (below + above);
            (moment(middle) <= 1 ? below : above) = middle;
        }
        low = below;
    }
    for (int i = 0; i < 40 && high - low > 1e-7; ++i) {
        const double middle = 0.5 * (low + high);
        (meets(middle) ? low : high) = middle;
    }
    return low;
}

// The round's distinct log-banks for the staked bets only (a bet staking nothing changes no bank).
std::vector<Step> RoundSteps(std::span<const Bet> bets, BetMode mode, std::span<const double> stakes) {
    std::vector<Bet> staked;
    std::vector<double> f;
    for (std::size_t i = 0; i < bets.size(); ++i) {
        if (stakes[i] > 0) {
            staked.push_back(bets[i]);
            f.push_back(stakes[i]);
        }
    }
    const Round round(staked, mode);
    std::vector<double> bank;
    round.Banks(f, bank);
    std::vector<Step> all;
    all.reserve(bank.size());
    for (std::size_t o = 0; o < bank.size(); ++o) {
        const double q = round.Chance(o);
        if (q > 0) {
            if (!(bank[o] > 0)) {
                throw EBetSetError("При этих ставках банк может быть потерян целиком за один раунд");
            }
            all.push_back({q, std::log(bank[o])});
        }
    }
    std::sort(all.begin(), all.end(), [](const Step& a, const Step& b) { return a.logBank < b.logBank; });
    std::vector<Step> steps;
    for (const Step& s : all) {
        if (!steps.empty() && steps.back().logBank == s.logBank) {
            steps.back().chance += s.chance;
        } else {
            steps.push_back(s);
        }
    }
    return steps;
}

} // namespace

void CheckBets(std::span<const Bet> bets, BetMode mode) {
    if (bets.empty()) {
        throw EBetSetError("Не задано ни одной ставки");
    }
    if (bets.size() > kMaxBets) {
        throw EBetSetError("Ставок в одном наборе не больше " + std::to_string(kMaxBets) + ", а задано " +
                           std::to_string(bets.size()));
    }
    if (mode == BetMode::Independent && bets.size() > kMaxIndependentEvents) {
        throw EBetSetError("Одновременных независимых событий не больше " +
                           std::to_string(kMaxIndependentEvents) + ", а задано " +
                           std::to_string(bets.size()));
    }
    double total = 0;
    for (std::size_t i = 0; i < bets.size(); ++i) {
        const Bet& bet = bets[i];
        if (!(bet.odds > 1) || !(bet.odds <= kMaxDecimalOdds)) {
            throw EBetSetError(BetLabel(bets, i) + ": коэффициент должен быть больше 1");
        }
        if (!(bet.probability > 0 && bet.probability < 1)) {
            throw EBetSetError(BetLabel(bets, i) + ": вероятность должна быть больше 0 и меньше 100 %");
        }
        if (!(bet.commission >= 0 && bet.commission < 1)) {
            throw EBetSetError(BetLabel(bets, i) + ": комиссия должна быть не меньше 0 и меньше 100 %");
        }
        total += bet.probability;
    }
    if (mode == BetMode::Exclusive && total > 1 + 1e-12) {
        throw EBetSetError("Вероятности исходов одного события в сумме больше 100 %");
    }
}

std::vector<double> ExclusiveKelly(std::span<const Bet> bets) {
    CheckBets(bets, BetMode::Exclusive);
    const std::vector<double> odds = Effective(bets);
    std::vector<std::size_t> order(bets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return bets[a].probability * odds[a] > bets[b].probability * odds[b];
    });
    double reserve = 1; // R = (1 − Σp)/(1 − Σ1/E) over the outcomes taken
    double chances = 0;
    double implied = 0;
    std::size_t taken = 0;
    for (const std::size_t i : order) {
        if (!(bets[i].probability * odds[i] > reserve)) {
            break;
        }
        const double nextImplied = implied + 1 / odds[i];
        const double nextChances = chances + bets[i].probability;
        if (nextImplied >= 1) {
            // The outcomes taken already cover the book: the bank is spread over them in proportion to
            // their chances, keeping nothing back, unless some chance is left uncovered.
            if (nextChances >= 1 - 1e-12) {
                chances = nextChances;
                implied = nextImplied;
                reserve = 0;
                ++taken;
            }
            break;
        }
        chances = nextChances;
        implied = nextImplied;
        reserve = std::max(0.0, 1 - chances) / (1 - implied);
        ++taken;
    }
    std::vector<double> stakes(bets.size(), 0);
    for (std::size_t t = 0; t < taken; ++t) {
        const std::size_t i = order[t];
        stakes[i] = std::max(0.0, bets[i].probability - reserve / odds[i]);
    }
    return stakes;
}

std::vector<double> IndependentKelly(std::span<const Bet> bets, std::span<const double> start) {
    CheckBets(bets, BetMode::Independent);
    const Round round(bets, BetMode::Independent);
    std::vector<double> stakes =
        Maximise(round, BetMode::Independent, Effective(bets), {}, FeasibleStart(round, start), nullptr);
    for (double& s : stakes) {
        if (s < 1e-15) {
            s = 0;
        }
    }
    return stakes;
}

std::vector<double> KellyStakes(std::span<const Bet> bets, BetMode mode) {
    return mode == BetMode::Exclusive ? ExclusiveKelly(bets) : IndependentKelly(bets);
}

std::vector<double> SingleKellyStakes(std::span<const Bet> bets) {
    std::vector<double> stakes;
    stakes.reserve(bets.size());
    for (const Bet& bet : bets) {
        const double odds = EffectiveOdds(bet.odds, bet.commission);
        stakes.push_back(std::max(0.0, (bet.probability * odds - 1) / (odds - 1)));
    }
    return stakes;
}

double GrowthPercent(std::span<const Bet> bets, BetMode mode, std::span<const double> stakes) {
    CheckBets(bets, mode);
    CheckStakes(bets, stakes);
    std::vector<double> bank;
    return 100 * Expected(Round(bets, mode), {}, stakes, bank);
}

std::array<ChanceBracket, 4> DrawdownChances(std::span<const Bet> bets, BetMode mode,
                                             std::span<const double> stakes, const ChanceLimits& limits,
                                             const std::atomic<bool>* cancel) {
    CheckBets(bets, mode);
    CheckStakes(bets, stakes);
    if (!(limits.width > 0) || limits.maxWork < 0) {
        throw EBetSetError("Точность вероятностей должна быть положительной");
    }
    std::array<ChanceBracket, 4> result{};
    for (std::size_t l = 0; l < 4; ++l) {
        result[l] = {kDrawdownLevels[l], 0, 0, true};
    }
    std::vector<std::size_t> staked;
    for (std::size_t i = 0; i < bets.size(); ++i) {
        if (stakes[i] > 0) {
            staked.push_back(i);
        }
    }
    if (staked.empty()) {
        return result;
    }
    if (staked.size() == 1) {
        const std::size_t i = staked.front();
        if (!(stakes[i] < 1)) {
            throw EBetSetError(BetLabel(bets, i) + ": при ставке всего банка он может быть потерян целиком");
        }
        const WholeBetBet bet{bets[i].probability, EffectiveOdds(bets[i].odds, bets[i].commission),
                              stakes[i]};
        for (std::size_t l = 0; l < 4; ++l) {
            const RuinBounds bounds =
                WholeBetRuin(bet, kDrawdownLevels[l], {limits.width, limits.maxWork}, cancel);
            result[l] = {kDrawdownLevels[l], bounds.lower, bounds.upper, bounds.converged};
        }
        return result;
    }
    const std::vector<Step> steps = RoundSteps(bets, mode, stakes);
    double growth = 0;
    for (const Step& s : steps) {
        growth += s.chance * s.logBank;
    }
    if (steps.front().logBank >= 0) {
        return result; // no result loses anything
    }
    if (!(growth > 0)) {
        for (ChanceBracket& r : result) {
            r.lower = r.upper = 1;
        }
        return result;
    }
    return GridChances(steps, limits, cancel);
}

StakePlan PlanStakes(const PlanRequest& request, const std::atomic<bool>* cancel,
                     std::span<const double> start) {
    CheckBets(request.bets, request.mode);
    if (!(request.fraction > 0 && request.fraction <= 1)) {
        throw EBetSetError("Доля от ставки Келли должна быть больше 0 и не больше 1");
    }
    if (request.cap && !(*request.cap > 0 && *request.cap <= 1)) {
        throw EBetSetError("Предел суммы ставок должен быть больше 0 и не больше 100 %");
    }
    if (request.risk && !(request.risk->remaining > 0 && request.risk->remaining < 1 &&
                          request.risk->chance > 0 && request.risk->chance < 1)) {
        throw EBetSetError("Допустимый риск: уровень и вероятность должны быть больше 0 и меньше 100 %");
    }
    StakePlan plan;
    plan.stakes = request.mode == BetMode::Exclusive ? ExclusiveKelly(request.bets)
                                                     : IndependentKelly(request.bets, start);
    plan.kelly = plan.stakes;
    plan.single = SingleKellyStakes(request.bets);
    const auto nothing = [](const std::vector<double>& stakes) {
        return std::all_of(stakes.begin(), stakes.end(), [](double s) { return s == 0; });
    };
    if (nothing(plan.stakes)) {
        plan.outcome = PlanOutcome::NoValue;
    } else if (request.risk) {
        Poll(cancel);
        const double lambda = std::log(request.risk->chance) / std::log(request.risk->remaining);
        if (request.bets.size() == 1) {
            plan.stakes[0] = OneBetRiskStake(request.bets[0], plan.stakes[0], *request.risk, lambda, cancel);
        } else {
            plan.stakes = RiskStakes(request.bets, request.mode, plan.stakes, lambda, cancel);
        }
        for (double& s : plan.stakes) {
            if (s < 1e-15) {
                s = 0;
            }
        }
        if (nothing(plan.stakes)) {
            plan.outcome = PlanOutcome::RiskUnmet;
        }
    }
    for (double& s : plan.stakes) {
        s *= request.fraction;
    }
    for (double& s : plan.single) {
        s *= request.fraction;
    }
    plan.total = std::accumulate(plan.stakes.begin(), plan.stakes.end(), 0.0);
    if (request.cap && plan.total > *request.cap) {
        const double scale = *request.cap / plan.total;
        for (double& s : plan.stakes) {
            s *= scale;
        }
        plan.total = std::accumulate(plan.stakes.begin(), plan.stakes.end(), 0.0);
    }
    plan.growth = GrowthPercent(request.bets, request.mode, plan.stakes);
    const double together = GrowthPercent(request.bets, request.mode, plan.single);
    if (std::isfinite(together)) {
        plan.singleGrowth = together;
    }
    return plan;
}

BetSetResult ComputeBetSet(const PlanRequest& request, const ChanceLimits& limits,
                           const std::atomic<bool>* cancel) {
    BetSetResult result;
    result.plan = PlanStakes(request, cancel);
    result.chances = DrawdownChances(request.bets, request.mode, result.plan.stakes, limits, cancel);
    return result;
}

} // namespace brelmont
