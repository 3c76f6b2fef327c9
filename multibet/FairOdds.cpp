// SPDX-License-Identifier: MIT
#include "multibet/FairOdds.h"

namespace brelmont {

double Margin(std::span<const double>) {
    throw EBetSetError("not yet");
}
FairProbabilities FairFromOdds(std::span<const double>, DevigMethod) {
    throw EBetSetError("not yet");
}
DevigMethod ParseDevigMethod(std::string_view) {
    throw EConvertError("not yet");
}
std::string_view DevigMethodName(DevigMethod) {
    return "multiplicative";
}

} // namespace brelmont
