// SPDX-License-Identifier: MIT
#include "BetsCommandLine.h"

#include "base/Exception.h"
#include "multibet/BetsCsv.h"
#include "multibet/FairOdds.h"
#include "multibet/MultiBet.h"
#include "stakecalc/NumberText.h"
#include "ui/ModuleLoader.h"
#include "ui/several/SeveralBetsWindow.h"

namespace brelmont {
namespace {

constexpr int kFailed = 1;

// The module's answer, taken whole.
void Keep(void* context, const char* out, std::size_t outSize, const char* err, std::size_t errSize) {
    auto* answer = static_cast<CommandAnswer*>(context);
    answer->out.assign(out, outSize);
    answer->err.assign(err, errSize);
}

// The several-bets module's entry for the command line, loaded once; the module is found as the window
// finds it, and needs no application object for this.
BetsCommandEntry LoadBetsCommand() {
    static BetsCommandEntry entry = nullptr;
    if (entry == nullptr) {
        entry = reinterpret_cast<BetsCommandEntry>(
            LoadModuleEntry(kSeveralBetsModuleName, kBetsCommandEntryName, "Не удалось посчитать ставки"));
    }
    return entry;
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
                return UsageAnswer("--" + option->names().constFirst().toStdString() +
                                   " задаётся только вместе с --bets");
            }
        }
        if (parser.isSet(method_)) {
            return UsageAnswer("--method задаётся только вместе с --fair");
        }
        return std::nullopt;
    }
    if (bets && fair) {
        return UsageAnswer("--bets и --fair не сочетаются: сначала честные вероятности, потом ставки");
    }
    if (otherMode) {
        return UsageAnswer(std::string(bets ? "--bets" : "--fair") +
                           " не сочетается с --probability, --odds, --stake и --batch");
    }
    InitFloatEnvironment();
    if (fair) {
        for (const QCommandLineOption* option :
             {&exclusive_, &fraction_, &cap_, &bank_, &maxRisk_, &level_}) {
            if (parser.isSet(*option)) {
                return UsageAnswer("--" + option->names().constFirst().toStdString() +
                                   " задаётся только с --bets");
            }
        }
    } else if (parser.isSet(method_)) {
        return UsageAnswer("--method задаётся только вместе с --fair");
    }
    // The texts live until the module has answered.
    const auto text = [&parser](const QCommandLineOption& option) {
        return parser.isSet(option) ? std::optional<std::string>(parser.value(option).toStdString())
                                    : std::nullopt;
    };
    const auto pointer = [](const std::optional<std::string>& value) {
        return value ? value->c_str() : nullptr;
    };
    const std::optional<std::string> file =
        bets ? std::optional<std::string>(parser.value(bets_).toLocal8Bit().toStdString()) : std::nullopt;
    const std::optional<std::string> fraction = text(fraction_);
    const std::optional<std::string> cap = text(cap_);
    const std::optional<std::string> bank = text(bank_);
    const std::optional<std::string> maxRisk = text(maxRisk_);
    const std::optional<std::string> level = text(level_);
    const std::optional<std::string> market = text(fair_);
    const std::optional<std::string> method = text(method_);
    const BetsCommandValues values{pointer(file),   pointer(fraction), pointer(cap),
                                   pointer(bank),   pointer(maxRisk),  pointer(level),
                                   pointer(market), pointer(method),   parser.isSet(exclusive_) ? 1 : 0,
                                   json ? 1 : 0};
    CommandAnswer answer;
    try {
        answer.status = LoadBetsCommand()(&values, Keep, &answer);
    } catch (const Exception& e) {
        return CommandAnswer{"", "Brelmont: " + e.Message() + "\n", kFailed};
    }
    return answer;
}

} // namespace brelmont
