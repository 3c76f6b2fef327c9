// SPDX-License-Identifier: MIT
// The bookmaker's margin and the fair probabilities hidden in the odds of one market. The implied chances
// 1/D of all outcomes add up to more than one; the excess is the margin, and the four methods differ in how
// they take it back: in proportion (multiplicative), in equal parts (additive), by raising every implied
// chance to one power k (power), or by Shin's model of a bookmaker guarding against a share z of insiders,
// which takes more from long shots.
#pragma once

#include "multibet/BetSetError.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace brelmont {

enum class DevigMethod { Multiplicative, Additive, Power, Shin };

struct FairProbabilities {
    double margin = 0;                 // Σ1/D − 1, a fraction (0,0338 for 3,38 %)
    std::vector<double> probabilities; // one per outcome, in input order, adding up to 1
    double shinZ = 0;                  // Shin's insider share (Shin only, else 0)
    double powerK = 1;                 // the power k (power only, else 1)
};

// The most outcomes of one market.
inline constexpr std::size_t kMaxMarketOutcomes = 100;

// Σ1/D − 1 for the decimal odds of every outcome of one market. Domain: 2..kMaxMarketOutcomes odds, each
// finite and > 1; raises EBetSetError outside it.
double Margin(std::span<const double> odds);

// Fair probabilities by `method`. Domain as Margin. A market whose implied chances add up to 1 or less
// (no margin) is returned normalised by every method, with z = 0 and k = 1. The additive method would make
// the chance of a long shot negative when the margin's share exceeds its implied chance; it then raises
// EBetSetError saying so rather than returning a negative or silently clipped probability.
FairProbabilities FairFromOdds(std::span<const double> odds, DevigMethod method);

// "multiplicative", "additive", "power" or "shin" (Latin letters in any case); raises EConvertError naming
// the text otherwise.
DevigMethod ParseDevigMethod(std::string_view name);
std::string_view DevigMethodName(DevigMethod method);

} // namespace brelmont
