// SPDX-License-Identifier: MIT
#include "stakecalc/BetValue.h"

#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"

#include <cmath>
#include <exception>

namespace brelmont {
namespace {

constexpr int kProbabilityField = 1;
constexpr int kOddsField = 2;

// Products within a billionth of 1 are taken as 1: the inputs are typed decimals, and their binary forms
// carry rounding noise far below anything a bettor types.
constexpr double kBoundaryScale = 1e9;

std::string Number(double value) {
    return FloatToStr(static_cast<long double>(value), kCalculatorSeparator);
}

std::optional<double> ReadField(const CalcFields& fields, int field) {
    const std::string text = fields.FieldText(field);
    if (text.empty()) {
        return std::nullopt;
    }
    try {
        const double value = StoreDouble(StrToFloat(DotToComma(text), kCalculatorSeparator));
        ClearFaultFlags();
        return value;
    } catch (const std::exception&) {
        InitFloatEnvironment();
        return std::nullopt;
    }
}

} // namespace

std::optional<double> ExpectedReturn(double probabilityPercent, double odds) {
    if (!std::isfinite(probabilityPercent) || !std::isfinite(odds) || probabilityPercent < 0 ||
        probabilityPercent > 100 || odds <= 0) {
        return std::nullopt;
    }
    return probabilityPercent * odds / 100;
}

bool HasNoValue(double expectedReturn) {
    return std::round(expectedReturn * kBoundaryScale) <= kBoundaryScale;
}

std::optional<std::string> NoValueAdvice(double probabilityPercent, double odds) {
    const std::optional<double> back = ExpectedReturn(probabilityPercent, odds);
    if (!back || !HasNoValue(*back)) {
        return std::nullopt;
    }
    const std::string chance =
        "при вероятности " + Number(probabilityPercent) + " % и коэффициенте " + Number(odds);
    if (std::round(*back * kBoundaryScale) == kBoundaryScale) {
        return "Ставка не даёт преимущества: " + chance +
               " она в среднем возвращает ровно поставленную сумму и ничего не приносит. Критерий Келли "
               "советует не делать эту ставку.";
    }
    // Cut, not rounded, to three decimals: a loss never reads as the whole stake coming back.
    const double shown = std::floor(*back * 1000) / 1000;
    return "Ставка невыгодна: " + chance + " она в среднем возвращает " + Number(shown) +
           " от поставленной суммы, то есть на каждой такой ставке вы в среднем теряете. Критерий Келли "
           "советует не делать эту ставку.";
}

void AdviseWhenNoValue(CalcFields& fields, bool needsStake) {
    if (needsStake && fields.FieldText(kStakeField).empty()) {
        return;
    }
    const std::optional<double> p = ReadField(fields, kProbabilityField);
    const std::optional<double> k = p ? ReadField(fields, kOddsField) : std::nullopt;
    if (!p || !k) {
        return;
    }
    if (const std::optional<std::string> advice = NoValueAdvice(*p, *k)) {
        fields.ShowMessage(*advice);
    }
}

} // namespace brelmont
