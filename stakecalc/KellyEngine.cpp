// SPDX-License-Identifier: MIT
#include "stakecalc/KellyEngine.h"

#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace brelmont {

StakeValues StakeInputs;

namespace {

using Extended = long double;

// A two-decimal value for display: formed in extended precision and never stored into a double.
Extended RoundToHundredths(Extended value) {
    return static_cast<Extended>(RoundToInteger(value * 100)) / 100;
}

void EvaluateDrawdowns(CalcFields& fields, bool clampAtCertainty) {
    const StakeValues& in = StakeInputs;
    const Extended win = (Extended{in.k} - 1) * in.s + 1;
    const Extended loss = 1 - Extended{in.s};
    const double mu = StoreDouble(Checked(Ln(win) * in.p + Ln(loss) * (1 - Extended{in.p})));
    const Extended spread = Ln(Checked(win / loss));
    const double var = StoreDouble(Checked(spread * (spread * ((1 - Extended{in.p}) * in.p))));
    // The logarithms of the levels are the same in every evaluation, and the exponent the same at every
    // level; computing them once keeps the batch calculator fast and gives bit-identical results.
    static const std::array<Extended, DrawdownLevels.size()> lnLevels = [] {
        std::array<Extended, DrawdownLevels.size()> logs{};
        for (std::size_t i = 0; i < logs.size(); ++i) {
            logs[i] = std::log(Extended{DrawdownLevels[i].remaining});
        }
        return logs;
    }();
    const Extended power = Checked(Extended{mu} / var * 2);
    for (std::size_t i = 0; i < DrawdownLevels.size(); ++i) {
        const DrawdownLevel& level = DrawdownLevels[i];
        double chance = StoreDouble(Checked(Exp(lnLevels[i] * power) * 100));
        if (clampAtCertainty && chance > 100) {
            chance = 100;
        }
        fields.SetFieldText(level.field, FloatToStr(RoundToHundredths(chance), kCalculatorSeparator));
    }
}

} // namespace

void ComputeAll(CalcFields& fields) {
    StakeValues& in = StakeInputs;
    in.p = StoreDouble(Checked(in.p / 100.0L));
    in.f = StoreDouble(Checked((Extended{in.p} * in.k - 1) * 100 / (Extended{in.k} - 1)));
    in.s = StoreDouble(Checked(RoundToHundredths(in.f)));
    fields.SetFieldText(kStakeField, FloatToStr(in.s, kCalculatorSeparator));
    in.s = StoreDouble(Checked(in.s / 100.0L));
    EvaluateDrawdowns(fields, false);
}

void ComputeProbabilities(CalcFields& fields) {
    StakeValues& in = StakeInputs;
    in.p = StoreDouble(Checked(in.p / 100.0L));
    in.s = StoreDouble(Checked(in.s / 100.0L));
    EvaluateDrawdowns(fields, true);
}

} // namespace brelmont
