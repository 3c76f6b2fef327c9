// SPDX-License-Identifier: MIT
#include "stakecalc/RiskCurves.h"

#include "stakecalc/Commands.h"
#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"

#include <cmath>
#include <exception>

namespace brelmont {

namespace {

// The result fields of one engine run, kept in memory.
class EngineFields : public CalcFields {
public:
    std::string FieldText(int field) const override { return texts[field]; }
    void SetFieldText(int field, const std::string& text) override { texts[field] = text; }
    void ShowMessage(const std::string&) override {}
    std::string texts[8];
};

// Runs one engine entry point on its own StakeInputs, leaving the commands' values as they were; false when
// the engine raised, with the floating-point unit back in its start-up state.
template <class Entry> bool RunEngine(const StakeValues& values, EngineFields& fields, Entry entry) {
    const StakeValues saved = StakeInputs;
    bool ok = true;
    try {
        ClearFaultFlags();
        StakeInputs = values;
        entry(fields);
    } catch (const std::exception&) {
        InitFloatEnvironment();
        ok = false;
    }
    StakeInputs = saved;
    return ok;
}

std::optional<double> ReadNumber(const std::string& text) {
    try {
        return FieldNumber(text);
    } catch (const std::exception&) {
        InitFloatEnvironment();
        return std::nullopt;
    }
}

const char* const kNoInputs =
    "Введите вероятность события и коэффициент в главном окне, и здесь появится график.";
const char* const kUnreadable =
    "Вероятность события или коэффициент не читается как число. Введите, например, 55 и 2,1.";
const char* const kOutOfRange =
    "Вероятность события должна быть больше 0 и меньше 100 %, а коэффициент — больше 1.";
const char* const kTooThin = "Перевес слишком мал: ставка Келли округляется до 0 % от банка.";
const char* const kWholeBank =
    "Перевес так велик, что ставка Келли округляется до 100 % от банка: критерий советует ставить весь банк. "
    "При такой ставке первый же проигрыш забирает банк целиком, поэтому вероятности потерь не вычисляются.";
const char* const kStakeUnreadable = "Ставка в % от банка не читается как число и не отмечена на графике.";
const char* const kStakeOutOfRange =
    "Ставка в % от банка должна быть больше 0 и меньше 100 %; она не отмечена.";

} // namespace

std::string PercentText(double percent) {
    try {
        return FloatToStr(static_cast<long double>(RoundToInteger(static_cast<long double>(percent) * 100)) /
                              100,
                          kCalculatorSeparator);
    } catch (const std::exception&) {
        InitFloatEnvironment();
        return FloatToStr(percent, kCalculatorSeparator);
    }
}

ChartReading ReadChartFields(const std::string& probability, const std::string& odds,
                             const std::string& stake) {
    ChartReading r;
    if (probability.empty() || odds.empty()) {
        r.sentence = kNoInputs;
        return r;
    }
    const std::optional<double> p = ReadNumber(probability);
    const std::optional<double> k = ReadNumber(odds);
    if (!p || !k) {
        r.sentence = kUnreadable;
        return r;
    }
    if (!(*p > 0 && *p < 100 && *k > 1 && std::isfinite(*k))) {
        r.sentence = kOutOfRange;
        return r;
    }
    const double edge = *p / 100 * *k;
    if (!(edge > 1)) {
        r.sentence = "У этой ставки нет перевеса: вероятность × коэффициент = " + PercentText(edge) +
                     " (нужно больше 1), и критерий Келли советует не ставить.";
        return r;
    }
    EngineFields fields;
    if (!RunEngine(StakeValues{*p, *k, 0, 0}, fields, [](CalcFields& f) { ComputeAll(f); })) {
        // The engine writes the rounded stake before it fails on it: a stake of 0 or of the whole bank leaves
        // no chance to compute.
        const std::optional<double> rounded = ReadNumber(fields.texts[kStakeField]);
        r.sentence = rounded && *rounded >= 100 ? kWholeBank : kTooThin;
        return r;
    }
    r.p = *p;
    r.k = *k;
    r.kelly = static_cast<double>(StrToFloat(fields.texts[kStakeField], kCalculatorSeparator));
    r.ok = true;
    if (!stake.empty()) {
        const std::optional<double> s = ReadNumber(stake);
        if (!s) {
            r.stakeNote = kStakeUnreadable;
        } else if (!(*s > 0 && *s < 100)) {
            r.stakeNote = kStakeOutOfRange;
        } else {
            r.stake = *s;
        }
    }
    return r;
}

std::optional<std::array<double, 4>> FormulaChances(double p, double k, double stakePercent) {
    EngineFields fields;
    if (!RunEngine(StakeValues{p, k, 0, stakePercent}, fields,
                   [](CalcFields& f) { ComputeProbabilities(f); })) {
        return std::nullopt;
    }
    std::array<double, 4> chances{};
    for (std::size_t i = 0; i < DrawdownLevels.size(); ++i) {
        chances[i] =
            static_cast<double>(StrToFloat(fields.texts[DrawdownLevels[i].field], kCalculatorSeparator));
    }
    return chances;
}

double GrowthPercent(double p, double k, double stakePercent) {
    const double q = p / 100;
    const double s = stakePercent / 100;
    return 100 * (q * std::log1p(s * (k - 1)) + (1 - q) * std::log1p(-s));
}

double StakeAxisEnd(const ChartReading& reading) {
    double end = 2 * reading.kelly;
    if (reading.stake && *reading.stake > end) {
        end = *reading.stake;
    }
    return end < 100 ? end : 100;
}

FormulaCurves ComputeFormulaCurves(const ChartReading& reading, int points) {
    FormulaCurves curves;
    const double end = StakeAxisEnd(reading);
    for (auto& curve : curves.chances) {
        curve.reserve(static_cast<std::size_t>(points));
    }
    curves.growth.reserve(static_cast<std::size_t>(points) + 1);
    curves.growth.push_back({0, 0});
    for (int i = 1; i <= points; ++i) {
        const double stake = end * i / points;
        if (const auto chances = FormulaChances(reading.p, reading.k, stake)) {
            for (std::size_t level = 0; level < 4; ++level) {
                curves.chances[level].push_back({stake, (*chances)[level]});
            }
        }
        const double growth = GrowthPercent(reading.p, reading.k, stake);
        if (std::isfinite(growth)) {
            curves.growth.push_back({stake, growth});
        }
    }
    return curves;
}

std::array<RuinBounds, 4> ExactChances(double p, double k, double stakePercent, const RuinLimits& limits,
                                       const std::atomic<bool>* cancel) {
    std::array<RuinBounds, 4> result{};
    const WholeBetBet bet{p / 100, k, stakePercent / 100};
    for (std::size_t i = 0; i < DrawdownLevels.size(); ++i) {
        result[i] = WholeBetRuin(bet, DrawdownLevels[i].remaining, limits, cancel);
    }
    return result;
}

} // namespace brelmont
