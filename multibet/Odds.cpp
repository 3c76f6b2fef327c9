// SPDX-License-Identifier: MIT
#include "multibet/Odds.h"

#include "base/Exception.h"

namespace brelmont {

Odds ParseOdds(std::string_view) {
    throw EConvertError("not yet");
}
std::string FormatOdds(double, OddsForm) {
    throw EConvertError("not yet");
}
double EffectiveOdds(double decimal, double commission) {
    return 1 + (decimal - 1) * (1 - commission);
}

} // namespace brelmont
