// SPDX-License-Identifier: MIT
#include "BetsCommandLine.h"

#include "base/Exception.h"
#include "base/SystemError.h"
#include "multibet/BetsCsv.h"
#include "multibet/FairOdds.h"
#include "multibet/MultiBet.h"
#include "multibet/Odds.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <variant>
#include <vector>

namespace brelmont {
namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kLevels[] = {40, 60, 80, 90};

CommandAnswer Usage(const std::string& text) {
    return {"", "Brelmont: " + text + " (справка: Brelmont --help)\n", kUsage};
}

CommandAnswer Failure(const std::string& text, int status = kFailed) {
    return {"", "Brelmont: " + text + "\n", status};
}

// A number typed with a decimal comma or point; nothing for any other text.
std::optional<double> Number(const QString& text) {
    try {
        const long double value = StrToFloat(DotToComma(text.toStdString()), ',');
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
std::variant<BetsInput, CommandAnswer>
ReadBetsOptions(const QCommandLineParser& parser, const QCommandLineOption& exclusive,
                const QCommandLineOption& fraction, const QCommandLineOption& cap,
                const QCommandLineOption& bank, const QCommandLineOption& maxRisk,
                const QCommandLineOption& level) {
    BetsInput input;
    input.request.mode = parser.isSet(exclusive) ? BetMode::Exclusive : BetMode::Independent;
    if (parser.isSet(fraction)) {
        const std::optional<double> f = Number(parser.value(fraction));
        if (!f || !(*f > 0 && *f <= 1)) {
            return Usage(
                "--fraction: нужна доля от ставки Келли больше 0 и не больше 1 (например 0,5), а не «" +
                parser.value(fraction).toStdString() + "»");
        }
        input.request.fraction = *f;
    }
    if (parser.isSet(cap)) {
        const std::optional<double> c = Number(parser.value(cap));
        if (!c || !(*c > 0 && *c <= 100)) {
            return Usage("--cap: нужен предел суммы ставок в процентах, больше 0 и не больше 100, а не «" +
                         parser.value(cap).toStdString() + "»");
        }
        input.request.cap = *c / 100;
    }
    if (parser.isSet(bank)) {
        const std::optional<double> b = Number(parser.value(bank));
        if (!b || !(*b > 0)) {
            return Usage("--bank: нужна сумма банка больше 0, а не «" + parser.value(bank).toStdString() +
                         "»");
        }
        input.bank = *b;
    }
    if (parser.isSet(maxRisk) != parser.isSet(level)) {
        return Usage("--max-risk и --level задаются вместе: например --max-risk 5 --level 60");
    }
    if (parser.isSet(maxRisk)) {
        const std::optional<double> beta = Number(parser.value(maxRisk));
        if (!beta || !(*beta > 0 && *beta < 100)) {
            return Usage("--max-risk: нужна вероятность в процентах, больше 0 и меньше 100, а не «" +
                         parser.value(maxRisk).toStdString() + "»");
        }
        const std::optional<double> lost = Number(parser.value(level));
        if (!lost || std::find(std::begin(kLevels), std::end(kLevels), *lost) == std::end(kLevels)) {
            return Usage("--level: нужна доля потерянного банка 40, 60, 80 или 90, а не «" +
                         parser.value(level).toStdString() + "»");
        }
        input.request.risk = RiskLimit{1 - *lost / 100, *beta / 100};
    }
    return input;
}

std::variant<BetsFile, CommandAnswer> ReadFile(const QString& path) {
    const bool standardInput = path == QLatin1String("-");
    const QByteArray name = path.toLocal8Bit();
    std::FILE* input = standardInput ? stdin : std::fopen(name.constData(), "rb");
    if (input == nullptr) {
        return Failure("не удаётся открыть файл " + name.toStdString() + ": " + SystemErrorText(errno),
                       kUsage);
    }
    std::variant<BetsFile, CommandAnswer> result = CommandAnswer{};
    try {
        result = ReadBetsCsv(input);
    } catch (const EInOutError& e) {
        result = Failure("ошибка чтения " + name.toStdString() + ": " + SystemErrorText(e.ErrorCode), kUsage);
    } catch (const EBetsFileError& e) {
        result = Failure((standardInput ? std::string("стандартный ввод") : name.toStdString()) + ": " +
                         e.Message());
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
            return Usage("--method: нужен способ multiplicative, additive, power или shin, а не «" +
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

BetsOptions::BetsOptions()
    : bets_(QStringLiteral("bets"),
            QStringLiteral(
                "Совместные ставки на несколько событий из файла CSV (- для стандартного ввода): в "
                "строке название; коэффициент; вероятность в %[; комиссия в %], необязательная первая "
                "строка заголовка. Коэффициент десятичный (2,5), дробный (5/2) или американский (+150, "
                "-200). Выводит строки со ставкой в % от банка, затем сумму ставок, рост банка за круг и "
                "вероятности потерять 40, 60, 80 и 90% банка (границы, верные до 0,1 п. п.)."),
            QStringLiteral("файл")),
      exclusive_(QStringLiteral("exclusive"),
                 QStringLiteral("Строки --bets — исходы одного события (выигрывает не больше одного), а не "
                                "независимые события.")),
      fraction_(QStringLiteral("fraction"),
                QStringLiteral("Доля от ставок Келли, больше 0 и не больше 1 (0,5 — половина Келли)."),
                QStringLiteral("доля")),
      cap_(QStringLiteral("cap"), QStringLiteral("Предел суммы всех ставок в % от банка."),
           QStringLiteral("проценты")),
      bank_(QStringLiteral("bank"), QStringLiteral("Размер банка: ставки выводятся и суммами."),
            QStringLiteral("сумма")),
      maxRisk_(QStringLiteral("max-risk"),
               QStringLiteral(
                   "Допустимая вероятность (в %) потерять долю банка --level: ставки наибольшего роста, "
                   "которые её не превышают."),
               QStringLiteral("проценты")),
      level_(QStringLiteral("level"),
             QStringLiteral("Доля потерянного банка для --max-risk: 40, 60, 80 или 90."),
             QStringLiteral("проценты")),
      fair_(QStringLiteral("fair"),
            QStringLiteral(
                "Маржа букмекера и честные вероятности по коэффициентам всех исходов одного рынка, через "
                "«;», например \"2,6;2,4;4,3\"."),
            QStringLiteral("коэффициенты")),
      method_(
          QStringLiteral("method"),
          QStringLiteral("Способ снять маржу для --fair: multiplicative (по умолчанию), additive, power или "
                         "shin."),
          QStringLiteral("способ")) {}

void BetsOptions::AddTo(QCommandLineParser& parser) const {
    parser.addOptions({bets_, exclusive_, fraction_, cap_, bank_, maxRisk_, level_, fair_, method_});
}

std::string BetsOptions::HelpNotes() {
    return "\nНесколько ставок: в файле --bets не больше " + std::to_string(kMaxBets) +
           " ставок (независимых событий не больше " + std::to_string(kMaxIndependentEvents) +
           "),\nстрока не длиннее " + std::to_string(kMaxLineLength) + " байт, название не длиннее " +
           std::to_string(kMaxNameLength) +
           " байт; вероятности исходов одного события\n(--exclusive) в сумме не больше 100 %. Строка, "
           "которую "
           "нельзя прочитать, называется с номером\nи полем, и тогда ничего не выводится. В --json ставки, "
           "рост, "
           "вероятности и маржа — числа\nв процентах с точкой, полной точности. В --fair не больше " +
           std::to_string(kMaxMarketOutcomes) + " исходов.\n";
}

std::optional<CommandAnswer> BetsOptions::Run(const QCommandLineParser& parser, bool json,
                                              bool otherMode) const {
    const bool bets = parser.isSet(bets_);
    const bool fair = parser.isSet(fair_);
    if (!bets && !fair) {
        for (const QCommandLineOption* option :
             {&exclusive_, &fraction_, &cap_, &bank_, &maxRisk_, &level_}) {
            if (parser.isSet(*option)) {
                return Usage("--" + option->names().constFirst().toStdString() +
                             " задаётся только вместе с --bets");
            }
        }
        if (parser.isSet(method_)) {
            return Usage("--method задаётся только вместе с --fair");
        }
        return std::nullopt;
    }
    if (bets && fair) {
        return Usage("--bets и --fair не сочетаются: сначала честные вероятности, потом ставки");
    }
    if (otherMode) {
        return Usage(std::string(bets ? "--bets" : "--fair") +
                     " не сочетается с --probability, --odds, --stake и --batch");
    }
    InitFloatEnvironment();
    try {
        if (fair) {
            for (const QCommandLineOption* option :
                 {&exclusive_, &fraction_, &cap_, &bank_, &maxRisk_, &level_}) {
                if (parser.isSet(*option)) {
                    return Usage("--" + option->names().constFirst().toStdString() +
                                 " задаётся только с --bets");
                }
            }
            return FairAnswer(parser.value(fair_), parser.value(method_), json);
        }
        if (parser.isSet(method_)) {
            return Usage("--method задаётся только вместе с --fair");
        }
        auto options = ReadBetsOptions(parser, exclusive_, fraction_, cap_, bank_, maxRisk_, level_);
        if (auto* usage = std::get_if<CommandAnswer>(&options)) {
            return *usage;
        }
        auto file = ReadFile(parser.value(bets_));
        if (auto* failure = std::get_if<CommandAnswer>(&file)) {
            return *failure;
        }
        BetsInput& input = std::get<BetsInput>(options);
        const BetsFile& rows = std::get<BetsFile>(file);
        for (const BetsFileRow& row : rows.rows) {
            input.request.bets.push_back(row.bet);
        }
        return BetsAnswer(rows, input, json);
    } catch (const EBetSetError& e) {
        return Failure(e.Message());
    }
}

} // namespace brelmont
