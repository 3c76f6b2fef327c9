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
                   const std::string& output = {}, const std::string& shell = {},
                   const std::string& program = BRELMONT_PROGRAM) {
    const auto dir = std::filesystem::temp_directory_path() / ("brelmont-cli-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::string command = shell + " env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + Quoted(program);
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
                                           WriteRow{"Batch", {"--batch", "-"}, "55;2\n"},
                                           WriteRow{"Bets", {"--bets", "-"}, "A;2;55\n"},
                                           WriteRow{"Fair", {"--fair", "2;2"}, ""}),
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

namespace {

// The numbers of a JSON array named `key` in the program's output.
std::vector<double> JsonArray(const std::string& json, const std::string& key) {
    std::vector<double> values;
    const std::size_t start = json.find("\"" + key + "\": [");
    if (start == std::string::npos) {
        return values;
    }
    std::istringstream list(
        json.substr(json.find('[', start) + 1, json.find(']', start) - json.find('[', start) - 1));
    std::string item;
    while (std::getline(list, item, ',')) {
        values.push_back(std::stod(item));
    }
    return values;
}

const std::string kMatch =
    "Исход;Коэффициент;Вероятность\nП1;5,5;20\nX;2,625;40\nП2;3,25;30\nФора;6;8\nТочный счёт;21;2\n";

// The published exclusive check: the stakes of a match's outcomes, each line given back with its stake.
TEST(SeveralBets, OutcomesOfOneEventGetTheClosedFormStakes) {
    const Outcome plain = RunProgram({"--bets", "-", "--exclusive"}, kMatch);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.rfind("Исход;Коэффициент;Вероятность;Ставка, %\nП1;5,5;20;5,964\nX;2,625;40;10,5913\n"
                              "П2;3,25;30;6,2468\nФора;6;8;0\nТочный счёт;21;2;0\nВсего: 22,8021 %\n",
                              0),
              0u)
        << plain.out;
    EXPECT_NE(plain.out.find("Вероятность потерять 90% от банка: от "), std::string::npos) << plain.out;

    const Outcome json = RunProgram({"--bets", "-", "--exclusive", "--json"}, kMatch);
    EXPECT_EQ(json.status, 0);
    const std::vector<double> stakes = JsonArray(json.out, "stakes");
    ASSERT_EQ(stakes.size(), 5u) << json.out;
    EXPECT_NEAR(stakes[0], 5.964, 5e-4);
    EXPECT_NEAR(stakes[1], 10.5913, 5e-5);
    EXPECT_NEAR(stakes[2], 6.2468, 5e-5);
    EXPECT_EQ(stakes[3], 0);
    EXPECT_EQ(JsonArray(json.out, "single").size(), 5u);
    EXPECT_EQ(json.out.rfind("{\"stakes\": [", 0), 0u);
    for (const char* key : {"\"total\": ", "\"growth\": ", "\"chances\": [{\"level\": 40, \"lower\": ",
                            "{\"level\": 90, \"lower\": "}) {
        EXPECT_NE(json.out.find(key), std::string::npos) << key << "\n" << json.out;
    }
}

// Two bets at 55 % and even odds: 9,90099 % each, against 10 % alone; six such matches share the bank.
TEST(SeveralBets, IndependentEventsAreStakedTogether) {
    const Outcome two = RunProgram({"--bets", "-", "--json", "--bank", "1000"}, "A;2;55\nB;2.0;55 %\n");
    EXPECT_EQ(two.status, 0) << two.err;
    for (const double stake : JsonArray(two.out, "stakes")) {
        EXPECT_NEAR(stake, 9.90099, 5e-6);
    }
    EXPECT_NEAR(JsonArray(two.out, "single").at(0), 10, 1e-9);
    EXPECT_NEAR(JsonArray(two.out, "amounts").at(1), 99.0099, 5e-4);

    std::string saturday;
    for (int i = 1; i <= 6; ++i) {
        saturday += "Матч " + std::to_string(i) + ";" + (i % 2 == 0 ? "+110" : "19/10") + ";" +
                    std::to_string(50 + i) + "\n";
    }
    const Outcome six = RunProgram({"--bets", "-", "--json", "--fraction", "0,5", "--cap", "30"}, saturday);
    EXPECT_EQ(six.status, 0) << six.err;
    const std::vector<double> stakes = JsonArray(six.out, "stakes");
    const std::vector<double> single = JsonArray(six.out, "single");
    ASSERT_EQ(stakes.size(), 6u) << six.out;
    double total = 0;
    for (std::size_t i = 0; i < stakes.size(); ++i) {
        EXPECT_GE(stakes[i], 0);
        EXPECT_LE(stakes[i], single[i] + 1e-9) << "joint stakes never exceed the stake alone";
        total += stakes[i];
    }
    EXPECT_LE(total, 30 + 1e-9);
}

// The exchange's commission lowers the stake: 2,1531 % at odds 2,1, 50 % and 5 %.
TEST(SeveralBets, CommissionEntersThroughTheEffectiveOdds) {
    const Outcome o = RunProgram({"--bets", "-"}, "Биржа;2,1;50;5\n");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("Биржа;2,1;50;5;2,1531\n", 0), 0u) << o.out;
}

TEST(SeveralBets, ASetWithNoValueStakesNothingAndSaysSo) {
    const Outcome o = RunProgram({"--bets", "-", "--json"}, "A;2;40\nB;3;20\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(JsonArray(o.out, "stakes"), (std::vector<double>{0, 0}));
    EXPECT_NE(o.err.find("Ни одна ставка набора не выгодна"), std::string::npos) << o.err;
}

TEST(SeveralBets, FairOddsByEachMethod) {
    const Outcome shin = RunProgram({"--fair", "2,6;2,4;4,3", "--method", "shin", "--json"});
    EXPECT_EQ(shin.status, 0) << shin.err;
    const std::vector<double> fair = JsonArray(shin.out, "probabilities");
    ASSERT_EQ(fair.size(), 3u) << shin.out;
    EXPECT_NEAR(fair[0], 37.2994, 5e-5);
    EXPECT_NEAR(fair[1], 40.4779, 5e-5);
    EXPECT_NEAR(fair[2], 22.2227, 5e-5);
    EXPECT_EQ(shin.out.rfind("{\"margin\": 3.38", 0), 0u) << shin.out;

    const Outcome plain = RunProgram({"--fair", "2,6; 2.4 ;4,3"});
    EXPECT_EQ(plain.out, "Маржа букмекера: 3,384 %\nИсход 1 (2,6): 37,2026 %\nИсход 2 (2.4): 40,3028 %\n"
                         "Исход 3 (4,3): 22,4946 %\n");
}

struct BadBetsRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    std::string err;
    int status;
};

class BadBets : public ::testing::TestWithParam<BadBetsRow> {};

// Bad input prints nothing on standard output, names what is wrong and fails.
TEST_P(BadBets, NamesTheFaultAndPrintsNoResult) {
    const BadBetsRow& row = GetParam();
    const Outcome o = RunProgram(row.arguments, row.input);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, row.err);
    EXPECT_EQ(o.status, row.status);
}

std::string SameBets(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += line;
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    SeveralBets, BadBets,
    ::testing::Values(
        BadBetsRow{"LineAndField",
                   {"--bets", "-"},
                   "A;2;55\nB;2;много\n",
                   "Brelmont: стандартный ввод: Строка 2, поле «вероятность»: «много» — не число\n",
                   1},
        BadBetsRow{"TooManyBets",
                   {"--bets", "-", "--exclusive"},
                   SameBets(101, "x;150;0,5\n"),
                   "Brelmont: стандартный ввод: Строка 101: ставок в наборе не больше 100\n",
                   1},
        BadBetsRow{"TooManyIndependentEvents",
                   {"--bets", "-"},
                   SameBets(21, "x;2;55\n"),
                   "Brelmont: Одновременных независимых событий не больше 20, а задано 21\n",
                   1},
        BadBetsRow{"MissingFile",
                   {"--bets", "/nonexistent/bets.csv"},
                   "",
                   "Brelmont: не удаётся открыть файл /nonexistent/bets.csv: нет такого файла или папки\n",
                   2},
        BadBetsRow{
            "FractionOutOfRange",
            {"--bets", "-", "--fraction", "1,5"},
            "A;2;55\n",
            "Brelmont: --fraction: нужна доля от ставки Келли больше 0 и не больше 1 (например 0,5), а не "
            "«1,5» (справка: Brelmont --help)\n",
            2},
        BadBetsRow{
            "LevelNotOfTheFour",
            {"--bets", "-", "--max-risk", "5", "--level", "50"},
            "A;2;55\n",
            "Brelmont: --level: нужна доля потерянного банка 40, 60, 80 или 90, а не «50» (справка: Brelmont "
            "--help)\n",
            2},
        BadBetsRow{
            "RiskWithoutLevel",
            {"--bets", "-", "--max-risk", "5"},
            "A;2;55\n",
            "Brelmont: --max-risk и --level задаются вместе: например --max-risk 5 --level 60 (справка: "
            "Brelmont --help)\n",
            2},
        BadBetsRow{"OptionWithoutBets",
                   {"--exclusive"},
                   "",
                   "Brelmont: --exclusive задаётся только вместе с --bets (справка: Brelmont --help)\n",
                   2},
        BadBetsRow{
            "BetsWithCalculator",
            {"--bets", "-", "-p", "55"},
            "",
            "Brelmont: --bets не сочетается с --probability, --odds, --stake и --batch (справка: Brelmont "
            "--help)\n",
            2},
        BadBetsRow{"FairWithBadMethod",
                   {"--fair", "2;2", "--method", "median"},
                   "",
                   "Brelmont: --method: нужен способ multiplicative, additive, power или shin, а не «median» "
                   "(справка: Brelmont --help)\n",
                   2}),
    brelmont::testing::RowName{});

TEST(SeveralBets, ExclusiveChancesOverAHundredAreBadInput) {
    const Outcome o = RunProgram({"--bets", "-", "--exclusive"}, "A;2;60\nB;3;50\n");
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.status, 1);
    EXPECT_FALSE(o.err.empty());
}

TEST(SeveralBets, HelpStatesTheLimits) {
    const Outcome help = RunProgram({"--help"});
    for (const char* text :
         {"--bets <файл>", "--fair <коэффициенты>", "не больше 100 ставок",
          "независимых событий не больше 20", "не длиннее 400 байт", "не длиннее 4096 байт"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
}

// --bets and --fair are answered by the several-bets module, which the program finds beside itself or, once
// installed, in its own module folder; without it they fail in one line, never with a crash.
class BetsModuleLayout : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("brelmont-layout-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_ / "bin");
        program_ = dir_ / "bin" / "Brelmont";
        std::filesystem::copy_file(BRELMONT_PROGRAM, program_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
    std::filesystem::path program_;
};

TEST_F(BetsModuleLayout, InstalledModuleFolderIsFound) {
    const auto folder = dir_ / "bin" / BRELMONT_MODULES_FROM_PROGRAM;
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(BRELMONT_SEVERAL_MODULE, folder / "brelmont-several.so");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--bets", "-", "--bank", "1000"},
          std::vector<std::string>{"--fair", "2,6;2,4;4,3"}}) {
        const Outcome built = RunProgram(arguments, "A;2;55\nB;2,2;50\n");
        const Outcome installed = RunProgram(arguments, "A;2;55\nB;2,2;50\n", {}, {}, program_);
        EXPECT_EQ(installed.status, 0) << installed.err;
        EXPECT_EQ(installed.out, built.out);
        EXPECT_EQ(installed.err, built.err);
    }
}

TEST_F(BetsModuleLayout, MissingModuleIsOneLineAndStatusOne) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--bets", "-"}, std::vector<std::string>{"--fair", "2;2", "--json"}}) {
        const Outcome o = RunProgram(arguments, "A;2;55\n", {}, {}, program_);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, "Brelmont: Не удалось посчитать ставки: не найден файл brelmont-several.so\n");
        EXPECT_EQ(o.status, 1);
    }
    // What needs no module still works, and so do the options' own usage errors.
    EXPECT_EQ(RunProgram({"-p", "55", "-k", "2"}, {}, {}, {}, program_).status, 0);
    const Outcome usage = RunProgram({"--bets", "-", "--method", "shin"}, {}, {}, {}, program_);
    EXPECT_EQ(usage.err, "Brelmont: --method задаётся только вместе с --fair (справка: Brelmont --help)\n");
    EXPECT_EQ(usage.status, 2);
}

} // namespace
