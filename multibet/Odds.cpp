// SPDX-License-Identifier: MIT
#include "multibet/Odds.h"

#include "base/Exception.h"
#include "base/Text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace brelmont {

namespace {

[[noreturn]] void Refuse(std::string_view text, std::string_view reason) {
    std::string shown(CutUtf8(text, kMaxOddsTextLength));
    if (shown.size() < text.size()) {
        shown += "…";
    }
    throw EConvertError("Коэффициент «" + shown + "» не распознан: " + std::string(reason));
}

constexpr std::string_view kForms =
    "ожидается десятичный (2,5), дробный (5/2) или американский (+150, −200) коэффициент";

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Digits with at most one decimal comma or full stop and at least one digit; no sign, no exponent.
std::optional<double> PlainNumber(std::string_view text) {
    std::string digits;
    bool separator = false;
    bool anyDigit = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
            anyDigit = true;
        } else if ((c == ',' || c == '.') && !separator) {
            digits += '.';
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The decimal text of a non-negative value with at most `decimals` decimals, trailing zeros dropped.
std::string DecimalText(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, error == std::errc() ? end : buffer);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    for (char& c : text) {
        if (c == '.') {
            c = ',';
        }
    }
    return text;
}

} // namespace

Odds ParseOdds(std::string_view text) {
    if (text.size() > kMaxOddsTextLength) {
        Refuse(text, "длиннее " + std::to_string(kMaxOddsTextLength) + " знаков");
    }
    const std::string_view body = Trim(text);
    if (body.empty()) {
        Refuse(text, "пустое значение");
    }
    Odds odds;
    if (body.front() == '+' || body.front() == '-') {
        odds.form = OddsForm::American;
        const std::optional<double> value = PlainNumber(Trim(body.substr(1)));
        if (!value) {
            Refuse(text, kForms);
        }
        if (*value < 100) {
            Refuse(text, "американский коэффициент бывает не меньше +100 или не больше −100");
        }
        odds.decimal = body.front() == '+' ? 1 + *value / 100 : 1 + 100 / *value;
    } else if (const std::size_t slash = body.find('/'); slash != std::string_view::npos) {
        odds.form = OddsForm::Fractional;
        const std::optional<double> profit = PlainNumber(Trim(body.substr(0, slash)));
        const std::optional<double> stake = PlainNumber(Trim(body.substr(slash + 1)));
        if (!profit || !stake) {
            Refuse(text, kForms);
        }
        if (*stake == 0) {
            Refuse(text, "знаменатель дроби равен нулю");
        }
        odds.decimal = 1 + *profit / *stake;
    } else {
        const std::optional<double> value = PlainNumber(body);
        if (!value) {
            Refuse(text, kForms);
        }
        odds.decimal = *value;
    }
    if (!(odds.decimal > 1)) {
        Refuse(text, "коэффициент должен быть больше 1");
    }
    if (!(odds.decimal <= kMaxDecimalOdds)) {
        Refuse(text, "коэффициент больше " + DecimalText(kMaxDecimalOdds, 0));
    }
    return odds;
}

std::string FormatOdds(double decimal, OddsForm form) {
    if (!(decimal > 1 && decimal <= kMaxDecimalOdds)) {
        throw EConvertError("Коэффициент " + DecimalText(std::isfinite(decimal) ? decimal : 0, 4) +
                            " нельзя показать: он должен быть больше 1 и не больше " +
                            DecimalText(kMaxDecimalOdds, 0));
    }
    switch (form) {
    case OddsForm::Decimal:
        return DecimalText(decimal, 4);
    case OddsForm::American:
        return decimal >= 2 ? "+" + DecimalText(std::round(100 * (decimal - 1)), 0)
                            : "-" + DecimalText(std::round(100 / (decimal - 1)), 0);
    case OddsForm::Fractional:
        break;
    }
    // The simplest fraction close enough to show the same decimal odds: the first continued-fraction
    // convergent that near, which is how bookmakers' prices such as 5/2 or 11/8 come back.
    const double profit = decimal - 1;
    double rest = profit;
    std::int64_t num = 1;
    std::int64_t den = 0;
    std::int64_t numBefore = 0;
    std::int64_t denBefore = 1;
    for (int i = 0; i < 40; ++i) {
        const double whole = std::floor(rest);
        const auto a = static_cast<std::int64_t>(whole);
        const std::int64_t nextNum = a * num + numBefore;
        const std::int64_t nextDen = a * den + denBefore;
        if (nextDen > 100'000) {
            break;
        }
        numBefore = num;
        denBefore = den;
        num = nextNum;
        den = nextDen;
        const double value = static_cast<double>(num) / static_cast<double>(den);
        if (std::abs(value - profit) <= 5e-5 * std::max(1.0, profit) || rest - whole < 1e-12) {
            break;
        }
        rest = 1 / (rest - whole);
    }
    if (den == 0) {
        return DecimalText(profit, 0) + "/1";
    }
    return std::to_string(num) + "/" + std::to_string(den);
}

double EffectiveOdds(double decimal, double commission) {
    if (!(decimal > 1 && std::isfinite(decimal)) || !(commission >= 0 && commission < 1)) {
        throw EConvertError(
            "Коэффициент с комиссией не определён: коэффициент должен быть больше 1, а комиссия — "
            "не меньше 0 и меньше 100 %");
    }
    return 1 + (decimal - 1) * (1 - commission);
}

} // namespace brelmont
