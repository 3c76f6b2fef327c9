// SPDX-License-Identifier: MIT
#include "multibet/DrawdownGrid.h"

#include "base/Exception.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

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
// for any α, and with Lundberg's α the weights q·e^{−αy} add up to 1 and φ stays within [e^{−α|y_min|}, 1]:
// where ψ falls by orders of magnitude, φ barely moves. So φ is carried on cells (k − 1)h < z <= kh with
// an upper bound of its largest and a lower bound of its smallest value in each cell; a jump from a cell
// can land in two neighbouring cells, and the upper bound takes the larger of their bounds, the lower one
// the smaller. Each sweep keeps both bounds valid, and the cost of a coarse cell is only the variation of
// φ across it, which is small everywhere except near the level.
// Σ w[t]·a[t] and Σ w[t]·b[t], in four independent sums each, which the processor can carry side by side.
std::pair<double, double> WeightedSums(const std::vector<double>& w, const double* a, const double* b) {
    std::array<double, 4> sa{};
    std::array<double, 4> sb{};
    const std::size_t n = w.size();
    std::size_t t = 0;
    for (; t + 4 <= n; t += 4) {
        for (std::size_t r = 0; r < 4; ++r) {
            sa[r] += w[t + r] * a[t + r];
            sb[r] += w[t + r] * b[t + r];
        }
    }
    for (; t < n; ++t) {
        sa[0] += w[t] * a[t];
        sb[0] += w[t] * b[t];
    }
    return {(sa[0] + sa[1]) + (sa[2] + sa[3]), (sb[0] + sb[1]) + (sb[2] + sb[3])};
}

struct Jump {
    std::int64_t cells = 0; // a jump y lands between `cells` and `cells` + 1 cells up
    double weight = 0;      // q·e^{−αy}
};

class CellBounds {
public:
    // `coarser`, when given, holds bounds on larger cells from an earlier run; every cell that lies within
    // cells of it starts from them, which are bounds of its values too.
    CellBounds(const std::vector<Step>& steps, double alpha, double alphaHigh, double worst, double cell,
               std::int64_t top, const CellBounds* coarser)
        : cell_(cell), top_(top) {
        std::map<std::int64_t, double> merged;
        for (const Step& s : steps) {
            merged[static_cast<std::int64_t>(std::floor(s.logBank / cell))] +=
                s.chance * std::exp(-alpha * s.logBank);
        }
        for (const auto& [cells, weight] : merged) {
            jumps_.push_back({cells, weight});
        }
        low_ = std::min<std::int64_t>(0, jumps_.front().cells);
        high_ = top_ + std::max<std::int64_t>(0, jumps_.back().cells) + 1;
        upper_.resize(static_cast<std::size_t>(high_ - low_ + 1));
        lower_.resize(upper_.size());
        pairUpper_.resize(upper_.size());
        pairLower_.resize(upper_.size());
        const auto span = static_cast<std::size_t>(jumps_.back().cells - jumps_.front().cells + 1);
        if (2 * span <= 3 * jumps_.size()) {
            dense_.assign(span, 0);
            for (const Jump& j : jumps_) {
                dense_[static_cast<std::size_t>(j.cells - jumps_.front().cells)] = j.weight;
            }
        }
        for (std::int64_t k = low_; k <= high_; ++k) {
            const double z = static_cast<double>(k) * cell;
            if (k <= 0) {
                upper_[Index(k)] = std::exp(alpha * z);
                lower_[Index(k)] = std::exp(alpha * (z - cell));
            } else {
                // Lundberg's bracket: e^{−α_high(z + |y_min|)} <= ψ(z) <= e^{−αz}.
                upper_[Index(k)] = 1;
                lower_[Index(k)] = std::exp((alpha - alphaHigh) * z - alphaHigh * worst);
                if (coarser != nullptr && k <= top_) {
                    // The coarse cells touching ((k − 1)h, kh], one more on each side against rounding.
                    const auto first = static_cast<std::int64_t>(std::floor((z - cell) / coarser->cell_));
                    const auto last = static_cast<std::int64_t>(std::ceil(z / coarser->cell_)) + 1;
                    if (first >= 1 && last <= coarser->top_) {
                        double high = 0;
                        double low = 1;
                        for (std::int64_t c = first; c <= last; ++c) {
                            high = std::max(high, coarser->Upper(c));
                            low = std::min(low, coarser->Lower(c));
                        }
                        upper_[Index(k)] = std::min(upper_[Index(k)], high);
                        lower_[Index(k)] = std::max(lower_[Index(k)], low);
                    }
                }
            }
        }
    }
    // One Gauss-Seidel sweep upwards, so that what the level tells the cells below reaches the cells above
    // within the same sweep. The worse of each two neighbouring cells is kept beside the bounds and renewed
    // as a cell changes, so that a cell's update is a plain weighted sum: over the jumps' weights laid out
    // cell by cell when they fill most of their span (as the many results of several events do), else over
    // the list of jumps.
    void Sweep() {
        for (std::size_t i = 0; i + 1 < upper_.size(); ++i) {
            pairUpper_[i] = std::max(upper_[i], upper_[i + 1]);
            pairLower_[i] = std::min(lower_[i], lower_[i + 1]);
        }
        const std::int64_t nearest = jumps_.front().cells;
        for (std::int64_t k = 1; k <= top_; ++k) {
            double high = 0;
            double low = 0;
            if (dense_.empty()) {
                const double* up = pairUpper_.data() + Index(k);
                const double* down = pairLower_.data() + Index(k);
                for (const Jump& j : jumps_) {
                    high += j.weight * up[j.cells];
                    low += j.weight * down[j.cells];
                }
            } else {
                const double* up = pairUpper_.data() + Index(k + nearest);
                const double* down = pairLower_.data() + Index(k + nearest);
                std::tie(high, low) = WeightedSums(dense_, up, down);
            }
            const std::size_t i = Index(k);
            upper_[i] = std::min(upper_[i], high);
            lower_[i] = std::max(lower_[i], low);
            pairUpper_[i - 1] = std::max(upper_[i - 1], upper_[i]);
            pairUpper_[i] = std::max(upper_[i], upper_[i + 1]);
            pairLower_[i - 1] = std::min(lower_[i - 1], lower_[i]);
            pairLower_[i] = std::min(lower_[i], lower_[i + 1]);
        }
    }
    double Upper(std::int64_t k) const { return upper_[Index(k)]; }
    double Lower(std::int64_t k) const { return lower_[Index(k)]; }
    std::int64_t Work() const {
        return top_ * static_cast<std::int64_t>(dense_.empty() ? jumps_.size() : dense_.size());
    }

private:
    std::size_t Index(std::int64_t k) const { return static_cast<std::size_t>(k - low_); }
    std::vector<Jump> jumps_;
    double cell_;
    std::int64_t top_;
    std::int64_t low_ = 0;
    std::int64_t high_ = 0;
    std::vector<double> upper_;
    std::vector<double> lower_;
    std::vector<double> pairUpper_; // max(upper_[i], upper_[i + 1])
    std::vector<double> pairLower_; // min(lower_[i], lower_[i + 1])
    std::vector<double> dense_;     // the jumps' weights by cells up from the lowest jump, or empty
};

} // namespace

std::array<ChanceBracket, 4> GridChances(const std::vector<Step>& steps, const ChanceLimits& limits,
                                         const std::atomic<bool>* cancel) {
    const auto [alphaLow, alphaHigh] = Lundberg(steps);
    const auto alpha = static_cast<double>(alphaLow);
    const auto high = static_cast<double>(alphaHigh);
    const double worst = -steps.front().logBank; // the largest fall of the log-bank in one round
    std::array<ChanceBracket, 4> result{};
    bool all = true;
    for (std::size_t l = 0; l < 4; ++l) {
        const double distance = -std::log(kDrawdownLevels[l]);
        result[l].remaining = kDrawdownLevels[l];
        result[l].upper = std::min(1.0, std::exp(-alpha * distance));
        result[l].lower = std::exp(-high * (distance + worst));
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
    // Above this height the tilted walk, which drifts down to the level, is unlikely enough to have been
    // that the bracket left there weighs far less than the width.
    const double height =
        std::max(-std::log(kDrawdownLevels.back()), std::log(10 / limits.width) / alpha) + worst;
    constexpr std::int64_t kMaxCells = 4'000'000;
    double cell = std::max(spread / 16, height / static_cast<double>(kMaxCells));
    std::int64_t work = 0;
    std::optional<CellBounds> coarser;
    while (work < limits.maxWork) {
        const auto top = static_cast<std::int64_t>(std::ceil(height / cell));
        CellBounds bounds(steps, alpha, high, worst, cell, top, coarser ? &*coarser : nullptr);
        double before = std::numeric_limits<double>::infinity();
        double gap = before;
        while (work < limits.maxWork) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                throw EAbort();
            }
            bounds.Sweep();
            work += 2 * bounds.Work();
            gap = 0;
            all = true;
            for (std::size_t l = 0; l < 4; ++l) {
                const double distance = -std::log(kDrawdownLevels[l]);
                const auto k = static_cast<std::int64_t>(std::ceil(distance / cell));
                const double scale = std::exp(-alpha * distance);
                ChanceBracket& r = result[l];
                r.upper = std::min(r.upper, scale * bounds.Upper(k));
                r.lower = std::max(r.lower, scale * bounds.Lower(k));
                r.converged = r.upper - r.lower <= limits.width;
                all = all && r.converged;
                gap = std::max(gap, scale * (bounds.Upper(k) - bounds.Lower(k)));
            }
            if (all) {
                break;
            }
            // The sweeps have settled on what this cell size can give.
            if (before - gap < 1e-2 * limits.width) {
                break;
            }
            before = gap;
        }
        if (all) {
            break;
        }
        // What is left of the gap comes from the cells' width, so aim the next cell at the requested width.
        const double next = cell * std::clamp(0.8 * limits.width / gap, 1.0 / 8, 0.5);
        if (height / next > static_cast<double>(kMaxCells)) {
            break;
        }
        cell = next;
        coarser.emplace(std::move(bounds));
    }
    return result;
}

} // namespace brelmont
