// SPDX-License-Identifier: MIT
#include "BetsCommand.h"

#include "base/Exception.h"
#include "base/SystemError.h"
#include "multibet/BetsCsv.h"
#include "multibet/FairOdds.h"
#include "multibet/MultiBet.h"
#include "multibet/Odds.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <variant>
#include <vector>

namespace brelmont {
namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kLevels[] = {40, 60, 80, 90};

CommandAnswer Failure(const std::string& text, int status = kFailed) {
    return {"", "Brelmont: " + text + "\n", status};
}

// A number typed with a decimal comma or point; nothing for any other text.
std::optional<double> Number(const std::string& text) {
    try {
        const long double value = StrToFloat(DotToComma(text), ',');
        if (std::isfinite(value)) {
            return static_cast<double>(value);
        }
    } catch (const EConvertError&) {
    }
    return std::nullopt;
}

// The shortest text that reads back as the same double, for JSON; null where JSON has no number.
std::string Json(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : "null";
}

std::string JsonList(const std::vector<double>& values, double scale) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += (i > 0 ? ", " : "") + Json(values[i] * scale);
    }
    return out + "]";
}

// A value rounded to `decimals` places for people, with the decimal comma; `direction` rounds down (−1) or
// up (+1) instead, so that a rounded bracket still holds the true value.
std::string Shown(double value, int decimals, int direction = 0) {
    if (!std::isfinite(value)) {
        return value < 0 ? "−∞" : "∞";
    }
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    const double rounded = direction < 0   ? std::floor(scaled)
                           : direction > 0 ? std::ceil(scaled)
                                           : std::round(scaled);
    const double shown = rounded / scale;
    return FloatToStr(static_cast<long double>(shown == 0 ? 0.0 : shown), ',');
}

int LevelOf(double remaining) {
    return static_cast<int>(std::lround((1 - remaining) * 100));
}

struct BetsInput {
    PlanRequest request;
    std::optional<double> bank;
};

// The options' values, or the usage error that names the first bad one.
std::variant<BetsInput, CommandAnswer> ReadBetsOptions(const BetsCommandValues& values) {
    BetsInput input;
    input.request.mode = values.exclusive != 0 ? BetMode::Exclusive : BetMode::Independent;
    if (values.fraction != nullptr) {
        const std::optional<double> f = Number(values.fraction);
        if (!f || !(*f > 0 && *f <= 1)) {
            return UsageAnswer(
                "--fraction: нужна доля от ставки Келли больше 0 и не больше 1 (например 0,5), а не «" +
                std::string(values.fraction) + "»");
        }
        input.request.fraction = *f;
    }
    if (values.cap != nullptr) {
        const std::optional<double> c = Number(values.cap);
        if (!c || !(*c > 0 && *c <= 100)) {
            return UsageAnswer(
                "--cap: нужен предел суммы ставок в процентах, больше 0 и не больше 100, а не «" +
                std::string(values.cap) + "»");
        }
        input.request.cap = *c / 100;
    }
    if (values.bank != nullptr) {
        const std::optional<double> b = Number(values.bank);
        if (!b || !(*b > 0)) {
            return UsageAnswer("--bank: нужна сумма банка больше 0, а не «" + std::string(values.bank) + "»");
        }
        input.bank = *b;
    }
    if ((values.maxRisk != nullptr) != (values.level != nullptr)) {
        return UsageAnswer("--max-risk и --level задаются вместе: например --max-risk 5 --level 60");
    }
    if (values.maxRisk != nullptr) {
        const std::optional<double> beta = Number(values.maxRisk);
        if (!beta || !(*beta > 0 && *beta < 100)) {
            return UsageAnswer("--max-risk: нужна вероятность в процентах, больше 0 и меньше 100, а не «" +
                               std::string(values.maxRisk) + "»");
        }
        const std::optional<double> lost = Number(values.level);
        if (!lost || std::find(std::begin(kLevels), std::end(kLevels), *lost) == std::end(kLevels)) {
            return UsageAnswer("--level: нужна доля потерянного банка 40, 60, 80 или 90, а не «" +
                               std::string(values.level) + "»");
        }
        input.request.risk = RiskLimit{1 - *lost / 100, *beta / 100};
    }
    return input;
}

std::variant<BetsFile, CommandAnswer> ReadFile(const std::string& name) {
    const bool standardInput = name == "-";
    std::FILE* input = standardInput ? stdin : std::fopen(name.c_str(), "rb");
    if (input == nullptr) {
        return Failure("не удаётся открыть файл " + name + ": " + SystemErrorText(errno), kUsage);
    }
    std::variant<BetsFile, CommandAnswer> result = CommandAnswer{};
    try {
        result = ReadBetsCsv(input);
    } catch (const EInOutError& e) {
        result = Failure("ошибка чтения " + name + ": " + SystemErrorText(e.ErrorCode), kUsage);
    } catch (const EBetsFileError& e) {
        result = Failure((standardInput ? std::string("стандартный ввод") : name) + ": " + e.Message());
    }
    if (!standardInput) {
        std::fclose(input);
    }
    return result;
}

CommandAnswer BetsAnswer(const BetsFile& file, const BetsInput& input, bool json) {
    const BetSetResult result = ComputeBetSet(input.request);
    const StakePlan& plan = result.plan;
    CommandAnswer answer;
    if (json) {
        answer.out = "{\"stakes\": " + JsonList(plan.stakes, 100);
        if (input.bank) {
            answer.out += ", \"amounts\": " + JsonList(plan.stakes, *input.bank);
        }
        answer.out += ", \"single\": " + JsonList(plan.single, 100) +
                      ", \"total\": " + Json(plan.total * 100) + ", \"growth\": " + Json(plan.growth) +
                      ", \"chances\": [";
        for (std::size_t i = 0; i < result.chances.size(); ++i) {
            const ChanceBracket& c = result.chances[i];
            answer.out += (i > 0 ? ", " : "") + std::string("{\"level\": ") +
                          std::to_string(LevelOf(c.remaining)) + ", \"lower\": " + Json(c.lower * 100) +
                          ", \"upper\": " + Json(c.upper * 100) + "}";
        }
        answer.out += "]}\n";
    } else {
        if (file.header) {
            answer.out += *file.header + ";Ставка, %" + (input.bank ? ";Сумма" : "") + "\n";
        }
        for (std::size_t i = 0; i < file.rows.size(); ++i) {
            answer.out += file.rows[i].text + ";" + Shown(plan.stakes[i] * 100, 4);
            if (input.bank) {
                answer.out += ";" + Shown(plan.stakes[i] * *input.bank, 2);
            }
            answer.out += "\n";
        }
        answer.out += "Всего: " + Shown(plan.total * 100, 4) + " %";
        if (input.bank) {
            answer.out += " (" + Shown(plan.total * *input.bank, 2) + ")";
        }
        answer.out += "\nРост банка за круг: " + Shown(plan.growth, 4) + " %\n";
        if (plan.singleGrowth) {
            answer.out +=
                "Рост, если ставить каждую как единственную: " + Shown(*plan.singleGrowth, 4) + " %\n";
        }
        for (const ChanceBracket& c : result.chances) {
            answer.out += "Вероятность потерять " + std::to_string(LevelOf(c.remaining)) + "% от банка: от " +
                          Shown(c.lower * 100, 2, -1) + " до " + Shown(c.upper * 100, 2, +1) + " %\n";
        }
    }
    if (std::any_of(result.chances.begin(), result.chances.end(), [](const ChanceBracket& c) {
            return !c.converged && c.upper - c.lower > ChanceLimits{}.width;
        })) {
        answer.err +=
            "Вероятности потерь не уточнены до 0,1 п. п.: расчёт остановлен пределом работы, границы верны, "
            "но шире.\n";
    }
    if (plan.outcome == PlanOutcome::NoValue) {
        answer.err +=
            "Ни одна ставка набора не выгодна: с такими вероятностями и коэффициентами критерий Келли "
            "советует не ставить, все ставки 0.\n";
    } else if (plan.outcome == PlanOutcome::RiskUnmet) {
        answer.err += "Выбранный риск не удержать ни одной ставкой, кроме нулевой: все ставки 0.\n";
    }
    return answer;
}

CommandAnswer FairAnswer(const QString& list, const QString& methodName, bool json) {
    DevigMethod method = DevigMethod::Multiplicative;
    if (!methodName.isEmpty()) {
        try {
            method = ParseDevigMethod(methodName.toStdString());
        } catch (const EConvertError&) {
            return UsageAnswer("--method: нужен способ multiplicative, additive, power или shin, а не «" +
                               methodName.toStdString() + "»");
        }
    }
    const QStringList texts = list.split(QLatin1Char(';'));
    if (static_cast<std::size_t>(texts.size()) > kMaxMarketOutcomes) {
        return Failure("--fair: исходов не больше " + std::to_string(kMaxMarketOutcomes));
    }
    std::vector<double> odds;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        try {
            odds.push_back(ParseOdds(texts[i].toStdString()).decimal);
        } catch (const EConvertError& e) {
            return Failure("--fair, исход " + std::to_string(i + 1) + ": " + e.Message());
        }
    }
    const FairProbabilities fair = FairFromOdds(odds, method);
    CommandAnswer answer;
    if (json) {
        answer.out = "{\"margin\": " + Json(fair.margin * 100) +
                     ", \"probabilities\": " + JsonList(fair.probabilities, 100) + "}\n";
        return answer;
    }
    answer.out = "Маржа букмекера: " + Shown(fair.margin * 100, 4) + " %\n";
    for (std::size_t i = 0; i < odds.size(); ++i) {
        answer.out += "Исход " + std::to_string(i + 1) + " (" +
                      texts[static_cast<qsizetype>(i)].trimmed().toStdString() +
                      "): " + Shown(fair.probabilities[i] * 100, 4) + " %\n";
    }
    if (method == DevigMethod::Shin) {
        answer.out += "Доля инсайдеров по Шину: " + Shown(fair.shinZ, 6) + "\n";
    } else if (method == DevigMethod::Power) {
        answer.out += "Степень: " + Shown(fair.powerK, 6) + "\n";
    }
    return answer;
}

} // namespace

CommandAnswer AnswerBetsCommand(const BetsCommandValues& values) {
    try {
        if (values.fair != nullptr) {
            return FairAnswer(QString::fromUtf8(values.fair),
                              values.method != nullptr ? QString::fromUtf8(values.method) : QString(),
                              values.json != 0);
        }
        auto options = ReadBetsOptions(values);
        if (auto* usage = std::get_if<CommandAnswer>(&options)) {
            return *usage;
        }
        auto file = ReadFile(values.bets != nullptr ? values.bets : "-");
        if (auto* failure = std::get_if<CommandAnswer>(&file)) {
            return *failure;
        }
        BetsInput& input = std::get<BetsInput>(options);
        const BetsFile& rows = std::get<BetsFile>(file);
        for (const BetsFileRow& row : rows.rows) {
            input.request.bets.push_back(row.bet);
        }
        return BetsAnswer(rows, input, values.json != 0);
    } catch (const EBetSetError& e) {
        return Failure(e.Message());
    }
}

} // namespace brelmont
