// SPDX-License-Identifier: MIT
// The certified drawdown chances of a round with several results, repeated: the bank's log moves by one of
// the round's steps each time, and the chance that it ever falls to each level is bracketed on a grid of
// log-bank cells. Internal to the several-bets module; DrawdownChances in MultiBet.h is the way in.
#pragma once

#include "multibet/MultiBet.h"

#include <array>
#include <atomic>
#include <vector>

namespace brelmont {

// One result of a round: its chance and the log of the bank after it, the bank before it being 1.
struct Step {
    double chance = 0;
    double logBank = 0;
};

// The chances of ever falling to each of kDrawdownLevels for a walk of `steps` (sorted by logBank, distinct,
// chances > 0 adding up to 1, some step negative and the expected step positive), each a certain bracket
// narrowed to `limits.width` unless the work runs out first. Once `cancel` is set it raises EAbort.
std::array<ChanceBracket, 4> GridChances(const std::vector<Step>& steps, const ChanceLimits& limits,
                                         const std::atomic<bool>* cancel);

} // namespace brelmont
