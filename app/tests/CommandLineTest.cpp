// SPDX-License-Identifier: MIT
// The built program's command line with no display at all: the calculator answers with exactly the texts and
// messages the window's commands produce for the same field texts, the batch mode reads files and standard
// input, and nothing here ever needs an X server.
#include "base/testing/RowName.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/testing/MemoryFields.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs the program without any display in its environment, feeding `input` to its standard input, or the
// output of a generator when `shell` pipes one in; `shell` may also set limits for the program.
Outcome RunProgram(const std::vector<std::string>& arguments, const std::string& input = {},
                   const std::string& output = {}, const std::string& shell = {}) {
    const auto dir = std::filesystem::temp_directory_path() / ("brelmont-cli-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::string command =
        shell + " env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + Quoted(BRELMONT_PROGRAM);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    if (shell.find('|') == std::string::npos) {
        command += " <" + Quoted(dir / "in");
    }
    command += " >" + Quoted(output.empty() ? (dir / "out").string() : output) + " 2>" + Quoted(dir / "err");
    const int raw = std::system(command.c_str());
    Outcome outcome{Slurp(dir / "out"), Slurp(dir / "err"), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
    std::filesystem::remove_all(dir);
    return outcome;
}

const char* const kLabels[] = {"Ставка в % от банка", "40% от банка", "60% от банка", "80% от банка",
                               "90% от банка"};

struct CalculatorCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string p, k, s; // the same inputs typed into the window
    bool withStake;
};

class Calculator : public ::testing::TestWithParam<CalculatorCase> {};

// What the window shows for the same texts, as the command line prints it.
Outcome WindowAnswer(const CalculatorCase& c) {
    brelmont::InitFloatEnvironment();
    brelmont::testing::MemoryFields window;
    window.texts[1] = c.p;
    window.texts[2] = c.k;
    window.texts[3] = c.s;
    const brelmont::CommandEnd end =
        c.withStake ? brelmont::ComputeProbabilitiesCommand(window) : brelmont::ComputeAllCommand(window);
    if (end == brelmont::CommandEnd::Refused) {
        return {"", window.message + "\n", 1};
    }
    if (end == brelmont::CommandEnd::Computed) {
        window.message.clear();
        brelmont::AdviseWhenNoValue(window, c.withStake);
    }
    Outcome answer{"", window.message.empty() ? "" : window.message + "\n", 0};
    for (int i = 0; i < 5; ++i) {
        const std::string& text = window.texts[3 + i];
        answer.out += std::string(kLabels[i]) + ":" + (text.empty() ? "" : " " + text) + "\n";
    }
    return answer;
}

TEST_P(Calculator, PrintsWhatTheWindowShows) {
    const CalculatorCase& c = GetParam();
    const Outcome expected = WindowAnswer(c);
    const Outcome actual = RunProgram(c.arguments);
    EXPECT_EQ(actual.out, expected.out);
    EXPECT_EQ(actual.err, expected.err);
    EXPECT_EQ(actual.status, expected.status);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Calculator,
    ::testing::Values(
        CalculatorCase{"KellyStake", {"--probability", "55", "--odds", "2"}, "55", "2", "", false},
        CalculatorCase{"ShortOptionsAndDot", {"-p", "60", "-k", "1.9"}, "60", "1.9", "", false},
        CalculatorCase{"OwnStake", {"-p", "55", "-k", "2", "--stake", "5"}, "55", "2", "5", true},
        CalculatorCase{"OwnStakeClamped", {"-p", "55", "-k", "2", "-s", "25"}, "55", "2", "25", true},
        CalculatorCase{"ProbabilityMissing", {"--odds", "2"}, "", "2", "", false},
        CalculatorCase{"OddsMissing", {"--probability", "55"}, "55", "", "", false},
        CalculatorCase{"StakeMissing", {"-p", "55", "-k", "2", "--stake="}, "55", "2", "", true},
        CalculatorCase{"NotANumber", {"-p", "abc", "-k", "2"}, "abc", "2", "", false},
        CalculatorCase{"FairOddsZeroStakeAndAdvice", {"-p", "50", "-k", "2"}, "50", "2", "", false},
        CalculatorCase{"LossRoundingToZero", {"-p", "63,29", "-k", "1,58"}, "63,29", "1,58", "", false},
        CalculatorCase{"LossWithResultsAndAdvice", {"-p", "40", "-k", "2"}, "40", "2", "", false},
        CalculatorCase{"NegativeStakeRefused", {"-p", "55", "-k", "2", "-s", "-5"}, "55", "2", "-5", true},
        CalculatorCase{"WholeBank", {"-p", "55", "-k", "2", "-s", "100"}, "55", "2", "100", true}),
    brelmont::testing::RowName{});

TEST(CommandLine, JsonForScripts) {
    const Outcome o = RunProgram({"-p", "55", "-k", "2", "--json"});
    EXPECT_EQ(o.out, "{\"stake\":10,\"loss40\":59.85,\"loss60\":39.82,\"loss80\":19.84,\"loss90\":9.88}\n");
    EXPECT_EQ(o.status, 0);
    const Outcome failed = RunProgram({"-p", "55", "--json"});
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err, "Вы не заполнили поле Коэффициент.\n");
    EXPECT_EQ(failed.status, 1);
}

TEST(CommandLine, ABetWithNoValueIsAdvisedAgainstBesideItsResults) {
    const Outcome o = RunProgram({"-p", "40", "-k", "2", "--json"});
    EXPECT_EQ(o.out.rfind("{\"stake\":-20,", 0), 0u) << o.out;
    EXPECT_NE(o.err.find("0,8"), std::string::npos) << o.err;
    EXPECT_EQ(o.status, 0);
    const Outcome own = RunProgram({"-p", "40", "-k", "2", "-s", "5"});
    EXPECT_NE(own.err.find("0,8"), std::string::npos) << own.err;
    // A bet with value gets no such line.
    EXPECT_EQ(RunProgram({"-p", "55", "-k", "2"}).err, "");
}

TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
    const Outcome help = RunProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--batch <файл>"), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find("executable_name"), std::string::npos) << help.out;
    const Outcome version = RunProgram({"--version"});
    EXPECT_EQ(version.out, "Brelmont " BRELMONT_VERSION "\n");
    EXPECT_EQ(version.status, 0);
}

TEST(CommandLine, NoDisplayIsOneClearLineNotAnAbort) {
    const Outcome o = RunProgram({});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err,
              "Brelmont: нет дисплея X: задайте DISPLAY или запустите программу из графического сеанса\n");
}

struct UsageRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string err;
};

class BadUsage : public ::testing::TestWithParam<UsageRow> {};

// Every complaint is one Russian line, and none is Qt's or the C library's English.
TEST_P(BadUsage, IsStatusTwoWithARussianLine) {
    const Outcome o = RunProgram(GetParam().arguments);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, BadUsage,
    ::testing::Values(
        UsageRow{"UnknownOption",
                 {"--bogus"},
                 "Brelmont: неизвестный параметр «--bogus» (справка: Brelmont --help)\n"},
        UsageRow{"UnknownLetters",
                 {"-xq"},
                 "Brelmont: неизвестные параметры: «-x», «-q» (справка: Brelmont --help)\n"},
        UsageRow{"MissingValue",
                 {"--batch"},
                 "Brelmont: после «--batch» нужно значение (справка: Brelmont --help)\n"},
        UsageRow{"UnexpectedValue",
                 {"--help=yes"},
                 "Brelmont: параметр «--help» не принимает значения (справка: Brelmont --help)\n"},
        UsageRow{
            "StrayArgument", {"stray"}, "Brelmont: лишний аргумент «stray» (справка: Brelmont --help)\n"},
        UsageRow{"BatchWithCalculator",
                 {"-p", "55", "-k", "2", "--batch", "-"},
                 "Brelmont: --batch не сочетается с --probability, --odds, --stake и --json\n"},
        UsageRow{"MissingFile",
                 {"--batch", "/nonexistent/bets.csv"},
                 "Brelmont: не удаётся открыть файл /nonexistent/bets.csv: нет такого файла или папки\n"},
        UsageRow{
            "FolderAsFile", {"--batch", "/"}, "Brelmont: ошибка чтения или записи: это папка, а не файл\n"}),
    brelmont::testing::RowName{});

struct WriteRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
};

class FullDisk : public ::testing::TestWithParam<WriteRow> {};

// A result that cannot be written is a failure said in Russian, in every mode that writes one.
TEST_P(FullDisk, IsReportedNotPassedForSuccess) {
    const Outcome o = RunProgram(GetParam().arguments, GetParam().input, "/dev/full");
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("на устройстве нет места"), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(CommandLine, FullDisk,
                         ::testing::Values(WriteRow{"Calculator", {"-p", "55", "-k", "2"}, ""},
                                           WriteRow{"Json", {"-p", "55", "-k", "2", "--json"}, ""},
                                           WriteRow{"Help", {"--help"}, ""},
                                           WriteRow{"Version", {"--version"}, ""},
                                           WriteRow{"Batch", {"--batch", "-"}, "55;2\n"}),
                         brelmont::testing::RowName{});

// A line of hundreds of megabytes is skipped, not kept: under a memory limit far below its size the program
// still answers every line.
TEST(CommandLine, AHugeBatchLineNeedsNoMemory) {
    const Outcome o = RunProgram({"--batch", "-"}, {}, {},
                                 "{ printf '55;2\\n'; head -c 300000000 /dev/zero | tr '\\0' 5; printf "
                                 "'\\n40;2\\n'; } | prlimit --as=200000000");
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(o.out, "55;2;;10;59,85;39,82;19,84;9,88;\n;;;;;;;;Строка длиннее 4096 байт, она не прочитана.\n"
                     "40;2;;-20;59,37;39,25;19,35;9,54;" +
                         *brelmont::NoValueAdvice(40, 2) + "\n");
    EXPECT_EQ(o.err, "Brelmont: строк с ошибками: 1 из 3\n");
}

// /dev/zero has no line end to stop at; its first byte ends the reading, after the lines before it.
TEST(CommandLine, ANulByteEndsTheBatchAfterWritingWhatCameBefore) {
    const Outcome file = RunProgram({"--batch", "/dev/zero"});
    EXPECT_EQ(file.status, 2);
    EXPECT_EQ(file.out, "");
    EXPECT_EQ(file.err,
              "Brelmont: в строке 1 нулевой байт: это не текст в UTF-8 (файл в UTF-16?); дальше файл "
              "не прочитан\n");
    const Outcome piped = RunProgram({"--batch", "-"}, std::string("55;2\n5\0;2\n", 10));
    EXPECT_EQ(piped.status, 2);
    EXPECT_EQ(piped.out, "55;2;;10;59,85;39,82;19,84;9,88;\n");
}

TEST(CommandLine, QtOptionsAreLeftToTheApplication) {
    // -platform takes a value; neither may be mistaken for a stray argument.
    EXPECT_EQ(RunProgram({"-platform", "offscreen", "--version"}).status, 0);
}

TEST(CommandLine, BatchFromFileAndStandardInput) {
    const std::string csv = "Вероятность;Коэффициент;Ставка\r\n55;2\r\n\r\n55;2;5\r\nabc;2\r\n";
    const std::string expected =
        "Вероятность;Коэффициент;Ставка;Ставка в % от банка;40% от банка;60% от банка;80% от банка;90% от "
        "банка;Сообщение\r\n55;2;;10;59,85;39,82;19,84;9,88;\r\n\r\n55;2;5;5;21,3;6,24;0,77;0,09;\r\n"
        "abc;2;;;;;;;В одно из полей введено не допустимое значение.\r\n";
    const Outcome piped = RunProgram({"--batch", "-"}, csv);
    EXPECT_EQ(piped.out, expected);
    EXPECT_EQ(piped.status, 1) << "a line failed";

    const auto file = std::filesystem::temp_directory_path() / ("brelmont-bets-" + std::to_string(getpid()));
    std::ofstream(file, std::ios::binary) << "55;2\n60;1,9\n";
    const Outcome good = RunProgram({"-b", file.string()});
    std::filesystem::remove(file);
    EXPECT_EQ(good.out, "55;2;;10;59,85;39,82;19,84;9,88;\n60;1,9;;15,56;59,51;39,42;19,49;9,64;\n");
    EXPECT_EQ(good.err, "");
    EXPECT_EQ(good.status, 0);
}

} // namespace
