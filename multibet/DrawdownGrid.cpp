// SPDX-License-Identifier: MIT
#include "multibet/DrawdownGrid.h"

#include "base/Exception.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <optional>

namespace brelmont {

namespace {

// Lundberg's exponent: the positive root of E[e^−αY] = 1, as a bracket from bisection in extended
// precision. The moment is convex in α, 1 at 0 and falling there because the growth is positive.
std::pair<long double, long double> Lundberg(const std::vector<Step>& steps) {
    auto excess = [&](long double alpha) {
        long double sum = 0;
        for (const Step& s : steps) {
            sum +=
                static_cast<long double>(s.chance) * std::exp(-alpha * static_cast<long double>(s.logBank));
        }
        return sum - 1;
    };
    long double low = 0;
    long double high = 1;
    while (excess(high) <= 0) {
        low = high;
        high *= 2;
    }
    // Newton's steps from the right of the root fall monotonically onto it, since the moment is convex;
    // a bracket a few units in the last place wide around where they stop is then checked, and bisection
    // takes over only if the check fails.
    long double guess = high;
    for (int i = 0; i < 100; ++i) {
        long double slope = 0;
        for (const Step& s : steps) {
            const auto y = static_cast<long double>(s.logBank);
            slope -= static_cast<long double>(s.chance) * y * std::exp(-guess * y);
        }
        const long double next = guess - excess(guess) / slope;
        if (!(next < guess) || !(next > low)) {
            break;
        }
        guess = next;
    }
    const long double below = guess * (1 - 8 * std::numeric_limits<long double>::epsilon());
    const long double above = guess * (1 + 8 * std::numeric_limits<long double>::epsilon());
    if (below > low && above < high && excess(below) <= 0 && excess(above) > 0) {
        return {below, above};
    }
    for (int i = 0; i < 200; ++i) {
        const long double middle = 0.5L * (low + high);
        if (middle <= low || middle >= high) {
            break;
        }
        (excess(middle) <= 0 ? low : high) = middle;
    }
    return {low, high};
}

// The chance of ruin ψ(z) from a log-bank z above the level solves ψ(z) = Σ q·ψ(z + y) for z > 0, with
// ψ = 1 at or below 0. Written as φ(z) = e^{αz}·ψ(z) it solves φ(z) = Σ q·e^{−αy}·φ(z + y), an identity
// for any α; with α at or below Lundberg's root α* the weights q·e^{−αy} add up to at most 1 and φ stays
// within [e^{−α|y_min|}, 1]: where ψ falls by orders of magnitude, φ barely moves. So φ is carried on cells
// (k − 1)h < z <= kh with an upper bound U of its largest and a lower bound L of its smallest value in
// each cell; a jump from a cell lands within two neighbouring cells, so the largest value obeys
// U_k <= T(U)_k = Σ w·max(U_{k+m}, U_{k+m+1}) and the smallest L_k >= Σ w·min(L_{k+m}, L_{k+m+1}). The
// slack of a cell is only the variation of φ across it, which is small everywhere except near the level.
//
// The cells above the top need not hold Lundberg's wide bracket: a walk from above the top T must, to be
// ruined, first step down into (T − |y_min|, T], and optional stopping of e^{−αZ} (a supermartingale for
// α <= α*, a martingale at α*) there gives φ(z) <= max φ over those cells and φ(z) >= min φ over them less
// the share e^{−(α* − α)(z − T + |y_min|)}. The cells above the top copy those, so the top need only lie
// where φ has all but settled, not where ψ itself is negligible.
//
// Floating point: a sum of n non-negative products is within n·u/(1 − n·u) of its exact value, u = 2⁻⁵³,
// and each weight within a few u of its own (an exp and a product); every sum is widened by a margin well
// above all of that, up for the upper bound and down for the lower one, and so are the boundary values and
// the conversions back to ψ. A jump's cell offset m must satisfy mh <= y < (m + 1)h for the exact y; a grid
// on which some log-bank or level lies within rounding of a cell edge is moved by a hair.

// Below this many distinct results the cells are swept plainly from the start.
constexpr std::size_t kFewResults = 8;
// Cycles that failed to close in before plain sweeps take over.
constexpr int kStalls = 3;

constexpr double kUnit = std::numeric_limits<double>::epsilon() / 2;
// Far above the rounding of a log-bank or a level's distance (a few units in the last place of numbers
// below 50), far below any cell.
constexpr double kEdge = 1e-12;
// The relative margin of a boundary value or of a conversion between φ and ψ: an exp of an argument below
// 50 in magnitude and a product or two.
constexpr double kConversion = 1e-13;

// Σ w[t]·v[t] over n terms in sixteen independent sums, which a vector unit carries side by side. The
// program must run on any x86-64, and a second copy for wider vector instructions would cost the package
// more than it gains here.
double Dot(const double* w, const double* v, std::size_t n) {
    using Lanes = double __attribute__((vector_size(32)));
    Lanes a{};
    Lanes b{};
    Lanes c{};
    Lanes d{};
    std::size_t t = 0;
    for (; t + 16 <= n; t += 16) {
        Lanes w0;
        Lanes w1;
        Lanes w2;
        Lanes w3;
        Lanes v0;
        Lanes v1;
        Lanes v2;
        Lanes v3;
        std::memcpy(&w0, w + t, sizeof w0);
        std::memcpy(&w1, w + t + 4, sizeof w1);
        std::memcpy(&w2, w + t + 8, sizeof w2);
        std::memcpy(&w3, w + t + 12, sizeof w3);
        std::memcpy(&v0, v + t, sizeof v0);
        std::memcpy(&v1, v + t + 4, sizeof v1);
        std::memcpy(&v2, v + t + 8, sizeof v2);
        std::memcpy(&v3, v + t + 12, sizeof v3);
        a += w0 * v0;
        b += w1 * v1;
        c += w2 * v2;
        d += w3 * v3;
    }
    const Lanes sum = (a + b) + (c + d);
    double total = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    for (; t < n; ++t) {
        total += w[t] * v[t];
    }
    return total;
}

// A result whose log-bank is 0 within rounding (a won bet paying back exactly what the lost ones cost) is
// taken as leaving the bank as it was: every grid has an edge at 0, so no grid could keep it off one.
bool Unchanged(double logBank) {
    return std::abs(logBank) <= kEdge;
}

// Whether some x lies within rounding of a multiple of h, where its cell would be in doubt.
bool OnAnEdge(double x, double h) {
    const double at = x / h;
    return std::floor((x - kEdge) / h) != std::floor((x + kEdge) / h) || std::abs(at - std::round(at)) < 1e-9;
}

struct Jump {
    std::int64_t cells = 0; // a jump y lands between `cells` and `cells` + 1 cells up: mh <= y < (m + 1)h
    double weight = 0;      // q·e^{−αy}
};

// φ on cells of one size: approximations of the bounds of its largest and its smallest value in each cell,
// brought towards the fixed point of the cell equations by sweeps and multigrid cycles; Certify, which turns
// them into bounds that are certain; and certain bounds swept plainly, where the cycles do not help.
class CellGrid {
public:
    // `coarser`, when given, holds cells `ratio` (a power of 2) times as large from an earlier run; each cell
    // here lies within one of them and starts from its approximations and its certain bounds.
    CellGrid(const std::vector<Step>& steps, double alpha, double alphaHigh, double worst, double cell,
             std::int64_t top, const CellGrid* coarser, std::int64_t ratio)
        : cell_(cell), top_(top), window_(static_cast<std::int64_t>(std::ceil(worst / cell)) + 1),
          alpha_(alpha) {
        for (const Step& s : steps) {
            const auto m = Unchanged(s.logBank) ? 0 : static_cast<std::int64_t>(std::floor(s.logBank / cell));
            const double weight = s.chance * std::exp(-alpha * s.logBank);
            if (!jumps_.empty() && jumps_.back().cells == m) {
                jumps_.back().weight += weight;
            } else {
                jumps_.push_back({m, weight});
            }
        }
        // The sums' rounding, and a weight's error from its log-bank's: α·|δy| with |δy| a few units in the
        // last place of |y|.
        const double largest = std::max(std::abs(steps.front().logBank), std::abs(steps.back().logBank));
        const double margin =
            8 * (static_cast<double>(steps.size()) + 64) * kUnit + 1e-14 * alpha * (1 + largest);
        raise_ = 1 + margin;
        cut_ = 1 - margin;
        low_ = std::min<std::int64_t>(0, jumps_.front().cells);
        high_ = top_ + std::max<std::int64_t>(0, jumps_.back().cells) + 1;
        // A cell's bounds above the top copy the extreme of the window below it, exactly for the upper bound
        // and, for the lower one, less the share e^{−(α* − α)(z − T + |y_min|)} that α below the root α*
        // costs in the optional stopping.
        settle_ = std::exp(-(alphaHigh - alpha) * (static_cast<double>(high_ - top_ + window_ + 1) * cell)) *
                  (1 - kConversion);
        const auto size = static_cast<std::size_t>(high_ - low_ + 1);
        upper_.resize(size);
        lower_.resize(size);
        pairUpper_.resize(size);
        pairLower_.resize(size);
        sourceUp_.assign(size, 0);
        sourceDown_.assign(size, 0);
        for (const Jump& j : jumps_) {
            cells_.push_back(static_cast<std::ptrdiff_t>(j.cells));
            weights_.push_back(j.weight);
        }
        const auto span = static_cast<std::size_t>(jumps_.back().cells - jumps_.front().cells + 1);
        if (span <= 4 * jumps_.size() + 64) {
            dense_.assign(span, 0);
            for (const Jump& j : jumps_) {
                dense_[static_cast<std::size_t>(j.cells - jumps_.front().cells)] = j.weight;
            }
        }
        // Lundberg's bracket e^{−α_high(z + |y_min|)} <= ψ(z) <= e^{−αz} starts the cells no coarser grid
        // covers.
        for (std::int64_t k = low_; k <= high_; ++k) {
            const double z = static_cast<double>(k) * cell;
            double& upper = upper_[Index(k)];
            double& lower = lower_[Index(k)];
            if (k <= 0) {
                upper = std::exp(alpha * z) * (1 + kConversion);
                lower = std::exp(alpha * (z - cell)) * (1 - kConversion);
            } else if (coarser != nullptr && (k + ratio - 1) / ratio <= coarser->top_) {
                upper = coarser->upper_[coarser->Index((k + ratio - 1) / ratio)];
                lower = coarser->lower_[coarser->Index((k + ratio - 1) / ratio)];
            } else {
                upper = 1;
                lower = std::exp((alpha - alphaHigh) * z - alphaHigh * worst) * (1 - kConversion);
            }
        }
        sureUpper_ = upper_;
        sureLower_ = lower_;
        for (std::int64_t k = 1; k <= high_; ++k) {
            const double z = static_cast<double>(k) * cell;
            double& upper = sureUpper_[Index(k)];
            double& lower = sureLower_[Index(k)];
            upper = 1;
            lower = std::exp((alpha - alphaHigh) * z - alphaHigh * worst) * (1 - kConversion);
            if (coarser != nullptr && (k + ratio - 1) / ratio <= coarser->top_) {
                upper = std::min(upper, coarser->sureUpper_[coarser->Index((k + ratio - 1) / ratio)]);
                lower = std::max(lower, coarser->sureLower_[coarser->Index((k + ratio - 1) / ratio)]);
            }
        }
        // e^{γz}, γ = α/2, falls under the cell equations by about γ(μ' − h)·e^{γz} per round, μ' the drift
        // of the tilted walk: what a certificate adds to lift the approximations off the fixed point.
        lift_.resize(size);
        for (std::int64_t k = low_; k <= high_; ++k) {
            lift_[Index(k)] = std::exp(0.5 * alpha * static_cast<double>(k) * cell);
        }
        std::vector<double> image(size);
        Apply(lift_, image, true);
        fall_.assign(size, 0);
        for (std::int64_t k = 1; k <= top_; ++k) {
            fall_[Index(k)] = (lift_[Index(k)] - image[Index(k)]) * (1 - 1e-9);
        }
    }

    // One over-relaxed Gauss-Seidel sweep upwards (what the level tells the cells below reaches the cells
    // above within the same sweep), then the cells above the top from the window below it.
    void Sweep(double omega) {
        Pairs();
        const std::int64_t nearest = jumps_.front().cells;
        for (std::int64_t k = 1; k <= top_; ++k) {
            const std::size_t i = Index(k);
            const std::size_t from = Index(k + nearest);
            const auto [high, low] = Sums(pairUpper_, pairLower_, i, from);
            upper_[i] += omega * (high * raise_ + sourceUp_[i] - upper_[i]);
            lower_[i] += omega * (low * cut_ + sourceDown_[i] - lower_[i]);
            pairUpper_[i - 1] = std::max(upper_[i - 1], upper_[i]);
            pairUpper_[i] = std::max(upper_[i], upper_[i + 1]);
            pairLower_[i - 1] = std::min(lower_[i - 1], lower_[i]);
            pairLower_[i] = std::min(lower_[i], lower_[i + 1]);
        }
        Above(upper_, lower_);
    }

    // Certain bounds of ψ at each distance, from the approximations lifted by a multiple of e^{γz} (pushed
    // down for the lower bound) just large enough to clear the residual, then checked: a vector U with
    // U >= T(U) on every cell, the certain values below the level and the window's largest value above the
    // top bounds φ from above. For if φ − U had a positive largest value M, a cell holding it would have
    // M <= Σ w·(the larger of φ − U on the two cells a jump lands in) with Σ w = E[e^{−αY}] <= 1, so every
    // jump's pair would hold M too, the lowest jump's pair lying wholly below the cell when |y_min| >= 2h;
    // step by step M would reach the cells below the level, where φ − U <= 0. The same holds for a lower
    // bound L <= T(L). Either bound may fail the check, and then it is none.
    struct Certified {
        std::array<double, 4> upper{};
        std::array<double, 4> lower{};
        bool hasUpper = false;
        bool hasLower = false;
    };
    // Cell bounds of φ turned into the chances at the levels. A distance lies inside cell ⌈d/h⌉: the grid
    // keeps it off the edges.
    void AtLevels(const std::array<double, 4>& distances, const std::vector<double>& upper,
                  const std::vector<double>& lower, Certified& result) const {
        for (std::size_t l = 0; l < distances.size(); ++l) {
            const auto k = static_cast<std::int64_t>(std::ceil(distances[l] / cell_));
            const double scale = std::exp(-alpha_ * distances[l]);
            result.upper[l] = std::min(1.0, upper[Index(k)] * scale * (1 + kConversion));
            result.lower[l] = std::max(0.0, lower[Index(k)] * scale * (1 - kConversion));
        }
    }
    Certified Certify(const std::array<double, 4>& distances) {
        Certified result;
        if (-jumps_.front().cells < 2) {
            return result;
        }
        const std::size_t size = upper_.size();
        std::vector<double> image(size);
        std::vector<double> upper(upper_);
        std::vector<double> lower(lower_);
        Above(upper, lower);
        double up = 0;
        double down = 0;
        Apply(upper, image, true);
        for (std::int64_t k = 1; k <= top_; ++k) {
            const std::size_t i = Index(k);
            if (!(fall_[i] > 0)) {
                return result;
            }
            up = std::max(up, (image[i] - upper[i]) / fall_[i]);
        }
        Apply(lower, image, false);
        for (std::int64_t k = 1; k <= top_; ++k) {
            const std::size_t i = Index(k);
            down = std::max(down, (lower[i] - image[i]) / fall_[i]);
        }
        // A little more than the residual asks, against the rounding of the lift itself.
        up = up * 1.01 + 1e-300;
        down = down * 1.01 + 1e-300;
        for (std::int64_t k = 1; k <= top_; ++k) {
            const std::size_t i = Index(k);
            upper[i] += up * lift_[i] * (1 + 1e-12) + 1e-15;
            lower[i] -= down * lift_[i] * (1 + 1e-12) + 1e-15;
        }
        Above(upper, lower);
        Apply(upper, image, true);
        result.hasUpper = true;
        for (std::int64_t k = 1; k <= top_; ++k) {
            result.hasUpper = result.hasUpper && image[Index(k)] <= upper[Index(k)];
        }
        Apply(lower, image, false);
        result.hasLower = true;
        for (std::int64_t k = 1; k <= top_; ++k) {
            result.hasLower = result.hasLower && image[Index(k)] >= lower[Index(k)];
        }
        for (std::size_t i = 0; i < size; ++i) {
            if (result.hasUpper) {
                sureUpper_[i] = std::min(sureUpper_[i], upper[i]);
            }
            if (result.hasLower) {
                sureLower_[i] = std::max(sureLower_[i], lower[i]);
            }
        }
        AtLevels(distances, upper, lower, result);
        return result;
    }

    // The certain bounds kept beside the approximations: Lundberg's, the coarser grid's, every certificate's,
    // and what sweeps that only ever lower the upper bound to T(U) and raise the lower one to T(L) make of
    // them, each step keeping them true (the old values being true and T monotone). Slow, but sure where
    // the approximations do not settle.
    Certified SureSweeps(const std::array<double, 4>& distances, int count) {
        std::vector<double> pairUpper(sureUpper_.size());
        std::vector<double> pairLower(sureUpper_.size());
        const std::int64_t nearest = jumps_.front().cells;
        for (int sweep = 0; sweep < count; ++sweep) {
            for (std::size_t i = 0; i + 1 < sureUpper_.size(); ++i) {
                pairUpper[i] = std::max(sureUpper_[i], sureUpper_[i + 1]);
                pairLower[i] = std::min(sureLower_[i], sureLower_[i + 1]);
            }
            for (std::int64_t k = 1; k <= top_; ++k) {
                const std::size_t i = Index(k);
                const std::size_t from = Index(k + nearest);
                const auto [high, low] = Sums(pairUpper, pairLower, i, from);
                sureUpper_[i] = std::min(sureUpper_[i], high * raise_);
                sureLower_[i] = std::max(sureLower_[i], low * cut_);
                pairUpper[i - 1] = std::max(sureUpper_[i - 1], sureUpper_[i]);
                pairUpper[i] = std::max(sureUpper_[i], sureUpper_[i + 1]);
                pairLower[i - 1] = std::min(sureLower_[i - 1], sureLower_[i]);
                pairLower[i] = std::min(sureLower_[i], sureLower_[i + 1]);
            }
            const auto [most, least] = Window(sureUpper_, sureLower_);
            for (std::int64_t k = top_ + 1; k <= high_; ++k) {
                sureUpper_[Index(k)] = std::min(sureUpper_[Index(k)], most);
                sureLower_[Index(k)] = std::max(sureLower_[Index(k)], least);
            }
        }
        Certified result;
        result.hasUpper = result.hasLower = true;
        AtLevels(distances, sureUpper_, sureLower_, result);
        return result;
    }

    // Multigrid, as the full approximation scheme: the sweeps smooth the error of the approximations quickly
    // but carry its slow part across the cells only a cell per sweep, so a coarser grid solves for it.
    // Restrict makes this grid the coarse one of `fine`, `ratio` of whose cells make one of these: it starts
    // from the fine approximations (the worse of each cell's fine cells) and takes as source what makes the
    // fine solution, seen coarsely, its own fixed point: R·u − T(R·u) + R·(T_fine(u) + source − u).
    void Restrict(const CellGrid& fine, std::int64_t ratio) {
        std::vector<double> residualUp(fine.upper_.size());
        std::vector<double> residualDown(fine.upper_.size());
        fine.Apply(fine.upper_, residualUp, true);
        fine.Apply(fine.lower_, residualDown, false);
        for (std::int64_t c = 1; c <= top_; ++c) {
            double up = 0;
            double down = 0;
            double meanUp = 0;
            double meanDown = 0;
            const std::int64_t last = std::min(c * ratio, fine.high_);
            for (std::int64_t k = (c - 1) * ratio + 1; k <= last; ++k) {
                const std::size_t i = fine.Index(k);
                up += fine.upper_[i];
                down += fine.lower_[i];
                if (k <= fine.top_) {
                    meanUp += residualUp[i] + fine.sourceUp_[i] - fine.upper_[i];
                    meanDown += residualDown[i] + fine.sourceDown_[i] - fine.lower_[i];
                }
            }
            const auto count = static_cast<double>(last - (c - 1) * ratio);
            upper_[Index(c)] = up / count;
            lower_[Index(c)] = down / count;
            sourceUp_[Index(c)] = meanUp / static_cast<double>(ratio);
            sourceDown_[Index(c)] = meanDown / static_cast<double>(ratio);
        }
        Above(upper_, lower_);
        restrictedUp_ = upper_;
        restrictedDown_ = lower_;
        std::vector<double> image(upper_.size());
        Apply(upper_, image, true);
        for (std::int64_t k = 1; k <= top_; ++k) {
            sourceUp_[Index(k)] += upper_[Index(k)] - image[Index(k)];
        }
        Apply(lower_, image, false);
        for (std::int64_t k = 1; k <= top_; ++k) {
            sourceDown_[Index(k)] += lower_[Index(k)] - image[Index(k)];
        }
    }
    // Adds what the coarse grid moved since Restrict to the fine cells within each coarse cell.
    void Correct(const CellGrid& coarse, std::int64_t ratio) {
        for (std::int64_t k = 1; k <= top_; ++k) {
            const std::int64_t c = (k + ratio - 1) / ratio;
            const std::size_t i = coarse.Index(c);
            upper_[Index(k)] += coarse.upper_[i] - coarse.restrictedUp_[i];
            lower_[Index(k)] += coarse.lower_[i] - coarse.restrictedDown_[i];
        }
        Above(upper_, lower_);
    }

    std::vector<double> Values() const {
        std::vector<double> values(upper_);
        values.insert(values.end(), lower_.begin(), lower_.end());
        return values;
    }
    void Restore(const std::vector<double>& values) {
        std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(upper_.size()),
                  upper_.begin());
        std::copy(values.begin() + static_cast<std::ptrdiff_t>(upper_.size()), values.end(), lower_.begin());
    }
    // The approximate bracket of ψ at the distance d: where the sweeps are heading.
    std::pair<double, double> Approximate(double d) const {
        const auto k = static_cast<std::int64_t>(std::ceil(d / cell_));
        const double scale = std::exp(-alpha_ * d);
        return {lower_[Index(k)] * scale, upper_[Index(k)] * scale};
    }
    // Cell updates times their terms, per sweep.
    std::int64_t Work() const {
        return 2 * top_ * static_cast<std::int64_t>(dense_.empty() ? jumps_.size() : dense_.size());
    }

private:
    std::size_t Index(std::int64_t k) const { return static_cast<std::size_t>(k - low_); }
    void Pairs() {
        for (std::size_t i = 0; i + 1 < upper_.size(); ++i) {
            pairUpper_[i] = std::max(upper_[i], upper_[i + 1]);
            pairLower_[i] = std::min(lower_[i], lower_[i + 1]);
        }
    }
    // Σ w·up[k + m] and Σ w·down[k + m] for the cell at index i, both in one pass over a list of jumps.
    std::pair<double, double> Sums(const std::vector<double>& up, const std::vector<double>& down,
                                   std::size_t i, std::size_t from) const {
        if (!dense_.empty()) {
            return {Dot(dense_.data(), up.data() + from, dense_.size()),
                    Dot(dense_.data(), down.data() + from, dense_.size())};
        }
        const double* u = up.data() + i;
        const double* d = down.data() + i;
        double high = 0;
        double low = 0;
        for (std::size_t j = 0; j < cells_.size(); ++j) {
            high += weights_[j] * u[cells_[j]];
            low += weights_[j] * d[cells_[j]];
        }
        return {high, low};
    }
    // Σ w·pair[k + m] over the jumps: laid out cell by cell when they fill much of their span (as the many
    // results of several events do), else over the list of jumps.
    double Sum(const std::vector<double>& pair, std::int64_t k, std::size_t from) const {
        if (!dense_.empty()) {
            return Dot(dense_.data(), pair.data() + from, dense_.size());
        }
        const double* at = pair.data() + Index(k);
        double sum = 0;
        for (const Jump& j : jumps_) {
            sum += j.weight * at[j.cells];
        }
        return sum;
    }
    // The cell equations' right-hand side of `bound` on cells 1..top: the upper bound's (the larger of each
    // pair, the sum widened) or the lower one's.
    void Apply(const std::vector<double>& bound, std::vector<double>& image, bool up) const {
        std::vector<double> pair(bound.size());
        for (std::size_t i = 0; i + 1 < bound.size(); ++i) {
            pair[i] = up ? std::max(bound[i], bound[i + 1]) : std::min(bound[i], bound[i + 1]);
        }
        const std::int64_t nearest = jumps_.front().cells;
        for (std::int64_t k = 1; k <= top_; ++k) {
            image[Index(k)] = Sum(pair, k, Index(k + nearest)) * (up ? raise_ : cut_);
        }
    }
    // The bounds of the cells above the top from the window of cells below it, as the optional stopping
    // allows.
    std::pair<double, double> Window(const std::vector<double>& upper,
                                     const std::vector<double>& lower) const {
        double most = 0;
        double least = std::numeric_limits<double>::infinity();
        for (std::int64_t k = std::max(low_, top_ - window_); k <= top_; ++k) {
            most = std::max(most, upper[Index(k)]);
            least = std::min(least, lower[Index(k)]);
        }
        return {most, least * settle_};
    }
    void Above(std::vector<double>& upper, std::vector<double>& lower) const {
        const auto [most, least] = Window(upper, lower);
        for (std::int64_t k = top_ + 1; k <= high_; ++k) {
            upper[Index(k)] = most;
            lower[Index(k)] = least;
        }
    }

    std::vector<Jump> jumps_;
    std::vector<std::ptrdiff_t> cells_; // the jumps' offsets and weights apart, for the sweeps' inner loop
    std::vector<double> weights_;
    double cell_;
    std::int64_t top_;
    std::int64_t window_; // cells covering a fall of |y_min| below the top, and one more
    double alpha_;
    double raise_ = 1;
    double cut_ = 1;
    double settle_ = 1;
    std::int64_t low_ = 0;
    std::int64_t high_ = 0;
    std::vector<double> upper_;
    std::vector<double> lower_;
    std::vector<double> pairUpper_; // max(upper_[i], upper_[i + 1])
    std::vector<double> pairLower_; // min(lower_[i], lower_[i + 1])
    std::vector<double> dense_;     // the jumps' weights by cells up from the lowest jump, or empty
    std::vector<double> lift_;      // e^{γz}
    std::vector<double> sureUpper_; // certain bounds, in cells as upper_ and lower_
    std::vector<double> sureLower_;
    std::vector<double> sourceUp_; // the coarse grid's share of the fine residual, zero on the finest
    std::vector<double> sourceDown_;
    std::vector<double> restrictedUp_; // the approximations as Restrict left them
    std::vector<double> restrictedDown_;
    std::vector<double> fall_; // a little less than e^{γz} − T(e^{γz}) on cells 1..top
};

// The first cell size from `cell` up, in steps of a millionth, on which no log-bank and no level lies within
// rounding of a cell edge.
double ClearOfEdges(double cell, const std::vector<Step>& steps, const std::array<double, 4>& distances) {
    for (;;) {
        bool clear = true;
        for (const Step& s : steps) {
            clear = clear && (Unchanged(s.logBank) || !OnAnEdge(s.logBank, cell));
        }
        for (const double d : distances) {
            clear = clear && !OnAnEdge(d, cell);
        }
        if (clear) {
            return cell;
        }
        cell *= 1 + 1e-6;
    }
}

} // namespace

std::array<ChanceBracket, 4> GridChances(const std::vector<Step>& steps, const ChanceLimits& limits,
                                         const std::atomic<bool>* cancel) {
    const auto [alphaLow, alphaHigh] = Lundberg(steps);
    // Rounded outwards, so that α stays at or below the root and α_high at or above it.
    auto alpha = static_cast<double>(alphaLow);
    if (static_cast<long double>(alpha) > alphaLow) {
        alpha = std::nextafter(alpha, 0.0);
    }
    auto high = static_cast<double>(alphaHigh);
    if (static_cast<long double>(high) < alphaHigh) {
        high = std::nextafter(high, std::numeric_limits<double>::infinity());
    }
    // The largest fall of the log-bank in one round, a hair more against the rounding of its log.
    const double worst = -steps.front().logBank + kEdge;
    std::array<double, 4> distance{};
    std::array<ChanceBracket, 4> result{};
    bool all = true;
    for (std::size_t l = 0; l < 4; ++l) {
        distance[l] = -std::log(kDrawdownLevels[l]);
        result[l].remaining = kDrawdownLevels[l];
        result[l].upper = std::min(1.0, std::exp(-alpha * distance[l]) * (1 + kConversion));
        result[l].lower = std::exp(-high * (distance[l] + worst)) * (1 - kConversion);
        result[l].converged = result[l].upper - result[l].lower <= limits.width;
        all = all && result[l].converged;
    }
    if (all) {
        return result;
    }
    double mean = 0;
    double square = 0;
    for (const Step& s : steps) {
        mean += s.chance * s.logBank;
        square += s.chance * s.logBank * s.logBank;
    }
    const double spread = std::sqrt(std::max(square - mean * mean, 1e-300));
    constexpr double kOmega = 1.9;
    // A walk of a few results is confined to a lattice, where φ jumps and never settles: there the cycles do
    // not close in, and the top must lie where ψ itself is negligible, as Lundberg's bracket leaves it;
    // plain sweeps of the certain bounds do the work. Many results make φ smooth and all but settled a
    // jump's fall and a tilted drift or so above the farthest level.
    const bool few = steps.size() < kFewResults;
    const double height = few ? std::max(distance.back(), std::log(10 / limits.width) / alpha) + worst
                              : distance.back() + worst + 1 / alpha;
    constexpr std::int64_t kMaxCells = 4'000'000;
    double cell =
        ClearOfEdges(std::max(spread / 16, height / static_cast<double>(kMaxCells)), steps, distance);
    std::int64_t work = 0;
    std::deque<CellGrid> grids; // coarsest first
    std::vector<std::int64_t> ratios;
    auto take = [&](const CellGrid::Certified& c) {
        all = true;
        for (std::size_t l = 0; l < 4; ++l) {
            ChanceBracket& r = result[l];
            if (c.hasUpper) {
                r.upper = std::min(r.upper, c.upper[l]);
            }
            if (c.hasLower) {
                r.lower = std::max(r.lower, c.lower[l]);
            }
            r.converged = r.upper - r.lower <= limits.width;
            all = all && r.converged;
        }
    };
    // One V-cycle down from grid `g`: a plain sweep, the coarser grids' correction, another sweep; the
    // coarsest grid, cheap, is swept until it settles.
    const std::function<void(std::size_t)> cycle = [&](std::size_t g) {
        CellGrid& grid = grids[g];
        if (g == 0) {
            // Over-relaxed, and started afresh less so should it run away.
            const std::vector<double> start = grid.Values();
            for (double omega = kOmega;; omega = 1 + (omega - 1) / 2) {
                std::pair<double, double> before{};
                bool away = false;
                double least = std::numeric_limits<double>::infinity();
                for (int i = 0; i < 4000; ++i) {
                    grid.Sweep(omega);
                    work += grid.Work();
                    const auto now = grid.Approximate(distance[0]);
                    const double change =
                        std::max(std::abs(now.first - before.first), std::abs(now.second - before.second));
                    before = now;
                    least = std::min(least, change);
                    // Converging sweeps change less and less; a change well above the least one so far
                    // means they oscillate or run away.
                    if (!(change < 4 * least + 1e-3 * limits.width) && i > 8) {
                        away = true;
                        break;
                    }
                    if (change < 1e-5 * limits.width) {
                        break;
                    }
                }
                if (!away || omega < 1.01) {
                    return;
                }
                grid.Restore(start);
            }
        }
        grid.Sweep(1);
        work += grid.Work();
        grids[g - 1].Restrict(grid, ratios[g]);
        work += grid.Work() + grids[g - 1].Work();
        cycle(g - 1);
        grid.Correct(grids[g - 1], ratios[g]);
        grid.Sweep(1);
        work += grid.Work();
    };
    // Grids coarser than the first, which only speed the cycles: halving the cells while the largest fall
    // still spans two of them and there are more than a few dozen.
    const auto coarsest = [&](double first) {
        grids.clear();
        ratios.clear();
        std::vector<double> sizes;
        for (double h = 2 * first; 2 * h <= worst && height / h > 48; h *= 2) {
            sizes.push_back(h);
        }
        for (auto h = sizes.rbegin(); h != sizes.rend(); ++h) {
            grids.emplace_back(steps, alpha, high, worst, *h,
                               static_cast<std::int64_t>(std::ceil(height / *h)),
                               grids.empty() ? nullptr : &grids.back(), 2);
            ratios.push_back(2);
        }
        return std::int64_t{grids.empty() ? 1 : 2};
    };
    std::int64_t ratio = coarsest(cell);
    while (work < limits.maxWork) {
        const auto top = static_cast<std::int64_t>(std::ceil(height / cell));
        grids.emplace_back(steps, alpha, high, worst, cell, top, grids.empty() ? nullptr : &grids.back(),
                           ratio);
        ratios.push_back(ratio);
        CellGrid& grid = grids.back();
        std::array<std::pair<double, double>, 4> before{};
        double gap = 0;
        int cycles = 0;
        int certified = 0;
        // The cycles may fail to close in where φ jumps (a walk of a few results, confined to a lattice);
        // then plain sweeps, slow but sure, take over.
        int stalls = few ? kStalls : 0;
        double sureGap = std::numeric_limits<double>::infinity();
        double last = std::numeric_limits<double>::infinity();
        while (work < limits.maxWork) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                throw EAbort();
            }
            if (stalls >= kStalls) {
                const CellGrid::Certified sure = grid.SureSweeps(distance, 4);
                take(sure);
                work += 4 * grid.Work();
                ++certified;
                double now = 0;
                for (std::size_t l = 0; l < 4; ++l) {
                    now = std::max(now, sure.upper[l] - sure.lower[l]);
                }
                // Settled on what this cell size can give.
                const bool settled = sureGap - now < 4e-2 * limits.width;
                sureGap = gap = now;
                if (all || settled) {
                    break;
                }
                continue;
            }
            cycle(grids.size() - 1);
            ++cycles;
            gap = 0;
            double change = 0;
            for (std::size_t l = 0; l < 4; ++l) {
                const auto now = grid.Approximate(distance[l]);
                gap = std::max(gap, now.second - now.first);
                change = std::max(
                    {change, std::abs(now.first - before[l].first), std::abs(now.second - before[l].second)});
                before[l] = now;
            }
            if (cycles > 1 && change > 0.7 * last && change > 0.1 * limits.width) {
                ++stalls;
            } else if (change < 0.5 * last) {
                stalls = 0;
            }
            last = change;
            // Certify once the cycles have settled, or sooner when the approximations, still closing in by
            // several times a cycle, already promise the width.
            const bool settled = change < 2e-2 * limits.width;
            if (settled || gap + 4 * change < 0.85 * limits.width) {
                take(grid.Certify(distance));
                work += 2 * grid.Work();
                ++certified;
                if (all || settled) {
                    break;
                }
            }
        }
        if (all) {
            break;
        }
        if (certified == 0) {
            // The work ran out mid-grid: the bracket as far as it got.
            take(grid.Certify(distance));
            break;
        }
        // What is left of the gap comes from the cells' width, so aim the next cell at the requested width.
        ratio = 2;
        while (ratio < 8 && gap / static_cast<double>(ratio) > 0.85 * limits.width) {
            ratio *= 2;
        }
        const double next = cell / static_cast<double>(ratio);
        if (height / next > static_cast<double>(kMaxCells)) {
            break;
        }
        if (ClearOfEdges(next, steps, distance) != next) {
            // The grids must each divide the coarser one exactly: start afresh on a clear one.
            cell = ClearOfEdges(next, steps, distance);
            grids.clear();
            ratios.clear();
            ratio = coarsest(cell);
            continue;
        }
        cell = next;
    }
    return result;
}

} // namespace brelmont
