// SPDX-License-Identifier: MIT
// The built program's command line with no display at all: the calculator answers with exactly the texts and
// messages the window's commands produce for the same field texts, the batch mode reads files and standard
// input, and nothing here ever needs an X server.
#include "base/testing/RowName.h"
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

// Runs the program without any display in its environment, feeding `input` to its standard input.
Outcome RunProgram(const std::vector<std::string>& arguments, const std::string& input = {}) {
    const auto dir = std::filesystem::temp_directory_path() / ("brelmont-cli-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + Quoted(BRELMONT_PROGRAM);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " <" + Quoted(dir / "in") + " >" + Quoted(dir / "out") + " 2>" + Quoted(dir / "err");
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
    if (c.withStake) {
        brelmont::ComputeProbabilitiesCommand(window);
    } else {
        brelmont::ComputeAllCommand(window);
    }
    if (!window.message.empty()) {
        return {"", window.message + "\n", 1};
    }
    Outcome answer{"", "", 0};
    for (int i = 0; i < 5; ++i) {
        answer.out += std::string(kLabels[i]) + ": " + window.texts[3 + i] + "\n";
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
        CalculatorCase{"FairOdds", {"-p", "50", "-k", "2"}, "50", "2", "", false},
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

TEST(CommandLine, BadUsageIsStatusTwo) {
    EXPECT_EQ(RunProgram({"--bogus"}).status, 2);
    EXPECT_EQ(RunProgram({"stray"}).status, 2);
    EXPECT_EQ(RunProgram({"-p", "55", "-k", "2", "--batch", "-"}).status, 2);
    const Outcome missing = RunProgram({"--batch", "/nonexistent/bets.csv"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("/nonexistent/bets.csv"), std::string::npos);
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
