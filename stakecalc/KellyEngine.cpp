// SPDX-License-Identifier: MIT
#include "stakecalc/KellyEngine.h"

#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"

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
    for (const DrawdownLevel& level : DrawdownLevels) {
        const Extended power = Checked(Extended{mu} / var * 2);
        double chance = StoreDouble(Checked(Exp(Ln(level.remaining) * power) * 100));
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
