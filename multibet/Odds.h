// SPDX-License-Identifier: MIT
// Odds as bettors type them: decimal ("2,5" or "2.5", stake included), fractional ("5/2", profit over stake)
// and American ("+150", "-200"), each recognised by its form. Everything inside the program works on decimal
// odds; the form is kept only to show a value back the way the bettor wrote it. An exchange's commission
// enters through the effective odds, so the stake computations never see it separately.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brelmont {

enum class OddsForm { Decimal, Fractional, American };

struct Odds {
    double decimal = 0; // decimal odds, stake included, > 1
    OddsForm form = OddsForm::Decimal;
};

// The longest odds text read; a longer one is refused before any parsing.
inline constexpr std::size_t kMaxOddsTextLength = 32;
// Decimal odds above this are refused as a typing slip rather than a price anyone offers.
inline constexpr double kMaxDecimalOdds = 1'000'000;

// Reads one odds text; blanks around it are ignored. A leading "+" or "-" means American (at least 100 in
// absolute value), a "/" fractional (numerator and denominator non-negative numbers, the denominator not 0),
// anything else decimal; a comma or a full stop separates the fraction. Raises EConvertError naming the text
// («Коэффициент «1/0» не распознан: …») for any other text, for odds of 1 or below, and beyond
// kMaxDecimalOdds.
Odds ParseOdds(std::string_view text);

// Decimal odds shown in the given form with the decimal comma: decimal with at most four decimals and no
// trailing zeros ("2,5"), fractional as the simplest fraction within 0,00005 of the profit (relative above 1)
// ("5/2"), American rounded to a whole number ("+150", "-200"). Domain: 1 < decimal <= kMaxDecimalOdds;
// raises EConvertError outside it.
std::string FormatOdds(double decimal, OddsForm form);

// The odds a bettor really gets when an exchange keeps the share `commission` of net winnings:
// 1 + (decimal − 1)(1 − commission). Domain: decimal > 1, 0 <= commission < 1; raises EConvertError outside
// it.
double EffectiveOdds(double decimal, double commission);

} // namespace brelmont
