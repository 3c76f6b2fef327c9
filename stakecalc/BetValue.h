// SPDX-License-Identifier: MIT
// Whether a bet is worth making at all. The Kelly stake of a bet whose probability times odds is at most 1 is
// zero or negative, and the drawdown figures computed for it look harmless; a bettor reading them needs to be
// told plainly that the bet loses money on average (or at best breaks even) and should not be made. The main
// window runs AdviseWhenNoValue after each calculation command, so the advice comes after every text and
// message of the command itself.
#pragma once

#include "stakecalc/Commands.h"

#include <optional>
#include <string>

namespace brelmont {

// The average return per unit staked, p / 100 * k. Domain: 0 <= p <= 100 (percent) and k > 0, both finite;
// nullopt outside it (no bet can be judged from such numbers).
std::optional<double> ExpectedReturn(double probabilityPercent, double odds);

// True when the bet has no positive expectation: p * k <= 1, with the last binary digits of the product
// ignored, so that typed values such as 62,5 and 1,6 meet the boundary exactly as they do on paper.
bool HasNoValue(double expectedReturn);

// The plain Russian advice for a bet with no value, with the numbers in the calculator's notation; nullopt
// for a bet with value or outside ExpectedReturn's domain.
std::optional<std::string> NoValueAdvice(double probabilityPercent, double odds);

// Reads the probability and odds fields again and shows the advice when the bet they describe has no value.
// Shows nothing when either field is empty or not a number, or, with `needsStake`, when the stake field is
// empty: then the command has already said what is missing and computed nothing.
void AdviseWhenNoValue(CalcFields& fields, bool needsStake);

} // namespace brelmont
