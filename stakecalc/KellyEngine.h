// SPDX-License-Identifier: MIT
// The Kelly arithmetic of the stake calculator: the stake the Kelly criterion recommends for one bet and,
// for any stake, the probabilities that the bank ever falls to 60%, 40%, 20% and 10% of its start. The
// calculation commands fill StakeInputs from the field texts and call ComputeAll or ComputeProbabilities,
// which write their results into the fields one at a time.
//
// Every step runs in extended precision and is stored back into a double where marked; a step that faults
// raises EInvalidOp, EZeroDivide or EOverflow before its result is stored, so fields written before the
// fault keep their new texts and the rest keep their old ones.
#pragma once

#include <array>

namespace brelmont {

class CalcFields;

struct StakeValues {
    double p = 0; // event probability: percent on entry, fraction after the engine has run
    double k = 0; // decimal odds, stake included
    double f = 0; // Kelly stake in percent of bank, unrounded (compute all only)
    double s = 0; // stake: percent of bank on entry, fraction after the engine has run
};

// The values of the running calculation, reset by every command.
extern StakeValues StakeInputs;

// Remaining fractions of the starting bank, in the order evaluated, and the result field each goes to.
struct DrawdownLevel {
    double remaining;
    int field;
};
inline constexpr std::array<DrawdownLevel, 4> DrawdownLevels{{{0.6, 4}, {0.4, 5}, {0.2, 6}, {0.1, 7}}};

// Field numbers as the commands see them.
inline constexpr int kStakeField = 3;

// Kelly stake from p (percent) and k: writes f and s, the rounded Kelly percent into field 3, then the four
// drawdown probabilities at that stake into fields 4..7, unclamped. Domain: k != 1, a Kelly percent that
// rounds to a non-zero value below 100 with a positive bank after a win, and results within the double
// range. Outside it raises EZeroDivide (k = 1, a bank multiplier of 0, p = 0 or 100 with a stake) or
// EInvalidOp (0 / 0, a negative bank multiplier, a zero stake, a value with no 64-bit hundredfold), and
// EOverflow for a value beyond the double range.
void ComputeAll(CalcFields& fields);

// The four drawdown probabilities for p (percent), k and the stake s (percent) into fields 4..7, each shown
// as at most 100. Domain and errors as for ComputeAll's drawdown part: 0 < s < 100 with a positive bank
// after a win and 0 < p < 100; a probability too large for a double raises EOverflow, not 100.
void ComputeProbabilities(CalcFields& fields);

} // namespace brelmont
