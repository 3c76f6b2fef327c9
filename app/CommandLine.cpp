// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "base/Exception.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/Script.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

void Print(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

void Complain(const std::string& text) {
    Print(stderr, "Brelmont: " + text + "\n");
}

// Qt writes its two headings in English and knows the program's name only once an application object
// exists, which the command line must do without.
std::string HelpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    text.replace(QStringLiteral("Usage: <executable_name> [options]"),
                 QStringLiteral("Запуск: Brelmont [параметры]"));
    text.replace(QStringLiteral("\nOptions:\n"), QStringLiteral("\nПараметры:\n"));
    return text.toStdString();
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
    // The window follows such a bet with its advice; a script gets it too, on standard error, so that the
    // results stay machine-readable and a negative stake never passes unexplained.
    if (const auto advice = NoValueAdvice(FieldNumber(p), FieldNumber(k))) {
        Print(stderr, *advice + "\n");
    }
    return 0;
}

int RunBatchFile(const QString& path) {
    const bool standardInput = path == QLatin1String("-");
    const QByteArray name = path.toLocal8Bit();
    std::FILE* input = standardInput ? stdin : std::fopen(name.constData(), "rb");
    if (input == nullptr) {
        Complain("не удаётся открыть файл " + name.toStdString() + ": " + std::strerror(errno));
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
    } catch (const EInOutError& e) {
        Complain(std::string("ошибка чтения или записи: ") + std::strerror(e.ErrorCode));
        status = kUsage;
    }
    if (!standardInput) {
        std::fclose(input);
    }
    return status;
}

} // namespace

std::optional<int> RunCommandLine(int argc, char** argv) {
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

    if (!parser.parse(OwnArguments(argc, argv))) {
        Complain(parser.errorText().toStdString() + " (справка: Brelmont --help)");
        return kUsage;
    }
    if (parser.isSet(help)) {
        Print(stdout, HelpText(parser));
        return 0;
    }
    if (parser.isSet(version)) {
        Print(stdout, "Brelmont " BRELMONT_VERSION "\n");
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        Complain("лишний аргумент «" + parser.positionalArguments().constFirst().toStdString() +
                 "» (справка: Brelmont --help)");
        return kUsage;
    }
    const bool calculator =
        parser.isSet(probability) || parser.isSet(odds) || parser.isSet(stake) || parser.isSet(json);
    if (calculator || parser.isSet(batch)) {
        InitFloatEnvironment();
        if (calculator && parser.isSet(batch)) {
            Complain("--batch не сочетается с --probability, --odds, --stake и --json");
            return kUsage;
        }
        return calculator ? RunCalculator(parser, probability, odds, stake, parser.isSet(json))
                          : RunBatchFile(parser.value(batch));
    }
    if (!HasDisplay()) {
        Complain("нет дисплея X: задайте DISPLAY или запустите программу из графического сеанса");
        return kFailed;
    }
    return std::nullopt;
}

bool OpensSeveralBets(int argc, char** argv) {
    const QStringList arguments = OwnArguments(argc, argv);
    return arguments.contains(QStringLiteral("--several")) || arguments.contains(QStringLiteral("-several"));
}

} // namespace brelmont
