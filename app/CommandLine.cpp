// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "BetsCommandLine.h"
#include "base/Exception.h"
#include "base/SystemError.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/Script.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

namespace brelmont {
namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Qt's own command-line options that take a value, and those that take none: the application object reads
// them, so they must not count as unknown here.
constexpr std::string_view kQtValueOptions[] = {"-platform",
                                                "-platformpluginpath",
                                                "-platformtheme",
                                                "-plugin",
                                                "-qwindowgeometry",
                                                "-qwindowtitle",
                                                "-qwindowicon",
                                                "-display",
                                                "-geometry",
                                                "-style",
                                                "-stylesheet",
                                                "-session",
                                                "-name",
                                                "-title",
                                                "-visual"};
constexpr std::string_view kQtFlagOptions[] = {"-reverse", "-nograb", "-dograb", "-sync", "-widgetcount"};

QStringList OwnArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::string_view name = argument;
        if (name.starts_with("--") && name.size() > 2) {
            name.remove_prefix(1); // Qt accepts its options with two dashes as well
        }
        if (i > 0 && std::find(std::begin(kQtFlagOptions), std::end(kQtFlagOptions), name) !=
                         std::end(kQtFlagOptions)) {
            continue;
        }
        if (i > 0 && std::find(std::begin(kQtValueOptions), std::end(kQtValueOptions), name) !=
                         std::end(kQtValueOptions)) {
            ++i;
            continue;
        }
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// The first error in writing the standard output, kept until the end reports it.
int gOutputError = 0;

void Print(std::FILE* stream, std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() && stream == stdout &&
        gOutputError == 0) {
        gOutputError = errno;
    }
}

void Complain(const std::string& text) {
    Print(stderr, "Brelmont: " + text + "\n");
}

// A result that never reached its reader is a failure, whatever was computed: a full disk or a closed pipe
// must not pass for success.
int FinishOutput(int status) {
    if (std::fflush(stdout) != 0 && gOutputError == 0) {
        gOutputError = errno;
    }
    if (gOutputError == 0 && std::ferror(stdout) != 0) {
        gOutputError = EIO;
    }
    if (gOutputError != 0) {
        Complain("не удаётся записать результат: " + SystemErrorText(gOutputError));
        return kUsage;
    }
    return status;
}

// Qt's parser words its errors in English; the program says them in Russian.
std::string ParserError(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        std::string names;
        for (const QString& name : unknown) {
            names += (names.empty() ? "«" : ", «") + std::string(name.size() == 1 ? "-" : "--") +
                     name.toStdString() + "»";
        }
        return (unknown.size() == 1 ? "неизвестный параметр " : "неизвестные параметры: ") + names;
    }
    const QString error = parser.errorText();
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression unexpected(QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const QRegularExpressionMatch match = missing.match(error); match.hasMatch()) {
        return "после «" + match.captured(1).toStdString() + "» нужно значение";
    }
    if (const QRegularExpressionMatch match = unexpected.match(error); match.hasMatch()) {
        return "параметр «" + match.captured(1).toStdString() + "» не принимает значения";
    }
    return "командная строка не разобрана";
}

// Qt writes its two headings in English and knows the program's name only once an application object
// exists, which the command line must do without.
std::string HelpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    text.replace(QStringLiteral("Usage: <executable_name> [options]"),
                 QStringLiteral("Запуск: Brelmont [параметры]"));
    text.replace(QStringLiteral("\nOptions:\n"), QStringLiteral("\nПараметры:\n"));
    text += QStringLiteral("\nОграничения: строка файла --batch не длиннее %1 байт; более длинная строка "
                           "пропускается\nс сообщением в последнем столбце. Нулевой байт (файл не в UTF-8, "
                           "например в UTF-16)\nостанавливает чтение; строки до него выводятся.\n")
                .arg(kMaxBatchLineBytes);
    return text.toStdString() + BetsOptions::HelpNotes() +
           "\nКоды завершения: 0 — готово (невыгодная ставка тоже: совет идёт в стандартный поток ошибок\n"
           "или в столбец сообщения); 1 — вычисление, строка файла или набор ставок не удались, нет\n"
           "дисплея, не хватило памяти; 2 — неверная командная строка, файл не читается или результат\n"
           "не записан.\n";
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int RunCalculator(const QCommandLineParser& parser, const QCommandLineOption& probability,
                  const QCommandLineOption& odds, const QCommandLineOption& stake, bool json) {
    const std::string p = parser.value(probability).toStdString();
    const std::string k = parser.value(odds).toStdString();
    const std::string s = parser.value(stake).toStdString();
    const BetResult result = RunBet({p, k, s, parser.isSet(stake)});
    if (result.Failed()) {
        Print(stderr, result.message + "\n");
        return kFailed;
    }
    Print(stdout, json ? JsonResults(result) : LabelledResults(result));
    // The window gives such a bet its advice; a script gets it too, on standard error, so that the results
    // stay machine-readable and a negative or zero stake never passes unexplained.
    if (!result.advice.empty()) {
        Print(stderr, result.advice + "\n");
    }
    return 0;
}

int RunBatchFile(const QString& path) {
    const bool standardInput = path == QLatin1String("-");
    const QByteArray name = path.toLocal8Bit();
    std::FILE* input = standardInput ? stdin : std::fopen(name.constData(), "rb");
    if (input == nullptr) {
        Complain("не удаётся открыть файл " + name.toStdString() + ": " + SystemErrorText(errno));
        return kUsage;
    }
    int status = 0;
    try {
        const BatchSummary summary = RunBatch(input, stdout);
        status = summary.failed == 0 ? 0 : kFailed;
        if (summary.failed != 0) {
            Complain("строк с ошибками: " + std::to_string(summary.failed) + " из " +
                     std::to_string(summary.lines));
        }
        if (summary.stoppedAtLine != 0) {
            Complain("в строке " + std::to_string(summary.stoppedAtLine) +
                     " нулевой байт: это не текст в UTF-8 (файл в UTF-16?); дальше файл не прочитан");
            status = kUsage;
        }
    } catch (const EInOutError& e) {
        Complain("ошибка чтения или записи: " + SystemErrorText(e.ErrorCode));
        status = kUsage;
    }
    if (!standardInput) {
        std::fclose(input);
    }
    return status;
}

std::optional<int> RunOptions(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Brelmont"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRELMONT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Калькулятор ставок по критерию Келли. Без параметров открывает окно программы; с параметрами\n"
        "вычисляет ставку и вероятности проигрыша банка без окна, как команды «Вычислить всё» и\n"
        "«Вычислить вероятности».\n"
        "Числа пишутся с запятой или с точкой: 55, 1,9, 1.9."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Показать эту справку и выйти."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Показать версию программы и выйти."));
    const QCommandLineOption probability({QStringLiteral("p"), QStringLiteral("probability")},
                                         QStringLiteral("Вероятность события в процентах."),
                                         QStringLiteral("проценты"));
    const QCommandLineOption odds({QStringLiteral("k"), QStringLiteral("odds")},
                                  QStringLiteral("Коэффициент (десятичный, со ставкой)."),
                                  QStringLiteral("коэффициент"));
    const QCommandLineOption stake({QStringLiteral("s"), QStringLiteral("stake")},
                                   QStringLiteral("Своя ставка в % от банка: вычислить только вероятности."),
                                   QStringLiteral("проценты"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Вывести результаты одним объектом JSON (числа с точкой)."));
    const QCommandLineOption batch(
        {QStringLiteral("b"), QStringLiteral("batch")},
        QStringLiteral("Посчитать ставки из файла CSV (- для стандартного ввода): в строке вероятность; "
                       "коэффициент[;ставка], необязательная первая строка заголовка. Результат CSV с "
                       "пятью столбцами результатов и столбцом сообщения идёт в стандартный вывод."),
        QStringLiteral("файл"));
    const QCommandLineOption several(
        QStringLiteral("several"), QStringLiteral("Открыть вместе с главным окном окно «Несколько ставок»."));
    parser.addOptions({help, version, probability, odds, stake, json, batch, several});
    const BetsOptions bets;
    bets.AddTo(parser);

    if (!parser.parse(OwnArguments(argc, argv))) {
        Complain(ParserError(parser) + " (справка: Brelmont --help)");
        return kUsage;
    }
    if (parser.isSet(help)) {
        Print(stdout, HelpText(parser));
        return FinishOutput(0);
    }
    if (parser.isSet(version)) {
        Print(stdout, "Brelmont " BRELMONT_VERSION "\n");
        return FinishOutput(0);
    }
    if (!parser.positionalArguments().isEmpty()) {
        Complain("лишний аргумент «" + parser.positionalArguments().constFirst().toStdString() +
                 "» (справка: Brelmont --help)");
        return kUsage;
    }
    const bool oneBet = parser.isSet(probability) || parser.isSet(odds) || parser.isSet(stake);
    if (const std::optional<CommandAnswer> answer =
            bets.Run(parser, parser.isSet(json), oneBet || parser.isSet(batch))) {
        Print(stdout, answer->out);
        Print(stderr, answer->err);
        return FinishOutput(answer->status);
    }
    const bool calculator = oneBet || parser.isSet(json);
    if (calculator || parser.isSet(batch)) {
        InitFloatEnvironment();
        if (calculator && parser.isSet(batch)) {
            Complain("--batch не сочетается с --probability, --odds, --stake и --json");
            return kUsage;
        }
        return calculator ? FinishOutput(RunCalculator(parser, probability, odds, stake, parser.isSet(json)))
                          : RunBatchFile(parser.value(batch));
    }
    if (!HasDisplay()) {
        Complain("нет дисплея X: задайте DISPLAY или запустите программу из графического сеанса");
        return kFailed;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> RunCommandLine(int argc, char** argv) {
    // Nothing may end the program with an abort and a lost result: what was computed is written, and the
    // failure is said in one line.
    try {
        return RunOptions(argc, argv);
    } catch (const std::bad_alloc&) {
        Complain("не хватает памяти");
    } catch (const std::exception& e) {
        Complain(std::string("непредвиденная ошибка: ") + e.what());
    }
    std::fflush(stdout);
    return kFailed;
}

bool OpensSeveralBets(int argc, char** argv) {
    const QStringList arguments = OwnArguments(argc, argv);
    return arguments.contains(QStringLiteral("--several")) || arguments.contains(QStringLiteral("-several"));
}

} // namespace brelmont
