// SPDX-License-Identifier: MIT
// The figures behind the risk chart: what the main window's fields say about the bet, the four drawdown
// chances over the stake exactly as "Вычислить вероятности" would show them, the expected growth of the bank
// per bet, and the exact whole-bet chances beside them. The chart window only draws what this module gives;
// keeping the figures here lets the tests check them without a screen.
//
// The formula figures run the Kelly engine itself, one stake at a time, and read its field texts back, so
// that every point of a curve is a number the program would show. The engine's shared StakeInputs is left
// as it was found.
#pragma once

#include "stakecalc/WholeBetRuin.h"

#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace brelmont {

// The main window's fields read for the chart. When `ok` is false, `sentence` says in plain words why there
// is nothing to draw.
struct ChartReading {
    bool ok = false;
    std::string sentence;
    double p = 0; // event probability, percent, 0 < p < 100
    double k = 0; // odds, k > 1, p·k > 100
    double kelly = 0; // the Kelly stake in percent, rounded to hundredths as "Вычислить всё" writes it
    std::optional<double> stake; // the typed stake in percent, when filled and 0 < stake < 100
    std::string stakeNote;       // why a filled stake field is not marked
};

// Reads the three input texts with the commands' conversion (a full stop or a comma). Never raises.
ChartReading ReadChartFields(const std::string& probability, const std::string& odds,
                             const std::string& stake);

// The four chances (percent, levels 60, 40, 20 and 10 % of the bank) that "Вычислить вероятности" shows for
// p (percent), k and the stake (percent); nothing where that command would report an error instead.
std::optional<std::array<double, 4>> FormulaChances(double p, double k, double stakePercent);

// Expected growth of the log-bank per bet, p·ln(1 + s(k − 1)) + (1 − p)·ln(1 − s), in percent, for p and s in
// percent. Domain: 0 <= s < 100 and a positive bank after a win; outside it the value is not finite.
double GrowthPercent(double p, double k, double stakePercent);

// The right end of the stake axis: twice the Kelly stake, or the typed stake when larger, never past 100.
double StakeAxisEnd(const ChartReading& reading);

struct CurvePoint {
    double stake = 0; // percent
    double value = 0; // percent
};

struct FormulaCurves {
    std::array<std::vector<CurvePoint>, 4>
        chances; // one curve per level; stakes the engine rejects are left out
    std::vector<CurvePoint> growth;
};

// `points` evenly spaced stakes from 0 (excluded) to StakeAxisEnd (included where the engine accepts it).
// Domain: reading.ok and points >= 1.
FormulaCurves ComputeFormulaCurves(const ChartReading& reading, int points);

// The exact whole-bet chances at the four levels for p (percent), k and the stake (percent), each within
// the limits' width (a fraction) unless its work runs out first. Raises EAbort once `cancel` is set; errors
// as WholeBetRuin.
std::array<RuinBounds, 4> ExactChances(double p, double k, double stakePercent, const RuinLimits& limits,
                                       const std::atomic<bool>* cancel);

// A chance or stake as the chart's texts show it: two decimals at most, decimal comma, no trailing zeros.
std::string PercentText(double percent);

} // namespace brelmont
