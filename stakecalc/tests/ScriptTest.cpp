// SPDX-License-Identifier: MIT
#include "stakecalc/Script.h"

#include "base/testing/RowName.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/Commands.h"
#include "stakecalc/testing/MemoryFields.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

using brelmont::BetResult;
using brelmont::BetTexts;

struct BetCase {
    const char* name;
    std::string p, k, s;
    bool hasStake;
    std::string expectedMessage; // empty: the command succeeds
    bool advised = false;        // the bet has no value and the advice comes with its results
};

class ScriptBet : public ::testing::TestWithParam<BetCase> {};

// The script's answer is what the window shows for the same field texts: the same five texts, or the same
// message, and the advice the window gives after the command (or as its message). A failure shows no results
// at all, unlike the window, which keeps what it wrote before the error.
TEST_P(ScriptBet, MatchesTheWindowForTheSameTexts) {
    const BetCase& c = GetParam();
    brelmont::testing::MemoryFields window;
    window.texts[1] = c.p;
    window.texts[2] = c.k;
    window.texts[3] = c.s;
    const brelmont::CommandEnd end =
        c.hasStake ? brelmont::ComputeProbabilitiesCommand(window) : brelmont::ComputeAllCommand(window);
    const std::string commandMessage = window.message;
    if (end == brelmont::CommandEnd::Computed) {
        window.message.clear();
        brelmont::AdviseWhenNoValue(window, c.hasStake);
    }

    const BetResult script = brelmont::RunBet({c.p, c.k, c.s, c.hasStake});
    EXPECT_EQ(script.message, c.expectedMessage);
    EXPECT_EQ(!script.advice.empty(), c.advised) << script.advice;
    if (script.Failed()) {
        EXPECT_EQ(script.message, commandMessage);
        EXPECT_EQ(script.advice, "");
    } else {
        EXPECT_EQ(script.advice, window.message);
    }
    for (std::size_t i = 0; i < script.texts.size(); ++i) {
        EXPECT_EQ(script.texts[i], script.Failed() ? "" : window.texts[3 + i]) << "result " << i;
    }
}

const std::string kProbabilityMissing = "Вы не заполнили поле Вероятность события.";
const std::string kOddsMissing = "Вы не заполнили поле Коэффициент.";
const std::string kStakeMissing = "Вы не заполнили поле Ставка в % от банка.";
const std::string kInvalid = "В одно из полей введено не допустимое значение.";

INSTANTIATE_TEST_SUITE_P(
    Commands, ScriptBet,
    ::testing::Values(BetCase{"KellyAt55", "55", "2", "", false, ""},
                      BetCase{"KellyAt60WithDot", "60", "1.9", "", false, ""},
                      BetCase{"KellyAt50WithComma", "50", "2,5", "", false, ""},
                      BetCase{"HalfKelly", "55", "2", "5", true, ""},
                      BetCase{"ClampedAt100", "55", "2", "25", true, ""},
                      BetCase{"SpacesAround", " 55 ", "2", "", false, ""},
                      BetCase{"ProbabilityMissing", "", "", "", false, kProbabilityMissing},
                      BetCase{"OddsMissing", "55", "", "", false, kOddsMissing},
                      BetCase{"StakeMissing", "55", "2", "", true, kStakeMissing},
                      BetCase{"NotANumber", "abc", "2", "", false, kInvalid},
                      BetCase{"BlanksOnly", "  ", "2", "", false, kInvalid},
                      BetCase{"FairOddsZeroStakeWithAdvice", "50", "2", "", false, "", true},
                      BetCase{"LossKeepsResultsWithAdvice", "40", "2", "", false, "", true},
                      BetCase{"OwnStakeOnALossWithAdvice", "40", "2", "5", true, "", true},
                      BetCase{"EvenOddsDivideByZero", "55", "1", "", false, kInvalid},
                      BetCase{"WholeBankStake", "55", "2", "100", true, kInvalid},
                      BetCase{"NegativeStake", "55", "2", "-5", true, kInvalid}),
    brelmont::testing::RowName{});

TEST(ScriptOutput, LabelsEachResultLikeTheWindow) {
    EXPECT_EQ(brelmont::LabelledResults(brelmont::RunBet({"55", "2", "", false})),
              "Ставка в % от банка: 10\n40% от банка: 59,85\n60% от банка: 39,82\n80% от банка: 19,84\n"
              "90% от банка: 9,88\n");
}

TEST(ScriptOutput, JsonCarriesNumbersWithAFullStop) {
    EXPECT_EQ(brelmont::JsonResults(brelmont::RunBet({"55", "2", "", false})),
              "{\"stake\":10,\"loss40\":59.85,\"loss60\":39.82,\"loss80\":19.84,\"loss90\":9.88}\n");
    // The stake a user typed is given back as the number it was read as.
    EXPECT_EQ(brelmont::JsonResults(brelmont::RunBet({"55", "2", " 5,0 ", true})),
              "{\"stake\":5,\"loss40\":21.3,\"loss60\":6.24,\"loss80\":0.77,\"loss90\":0.09}\n");
}

struct BatchCase {
    const char* name;
    std::string input;
    std::string output;
    std::size_t lines;
    std::size_t failed;
    std::size_t stoppedAtLine = 0;
};

class Batch : public ::testing::TestWithParam<BatchCase> {};

TEST_P(Batch, WritesEachLineWithItsResults) {
    const BatchCase& c = GetParam();
    brelmont::BatchSummary summary;
    EXPECT_EQ(brelmont::BatchText(c.input, &summary), c.output);
    EXPECT_EQ(summary.lines, c.lines);
    EXPECT_EQ(summary.failed, c.failed);
    EXPECT_EQ(summary.stoppedAtLine, c.stoppedAtLine);
}

const std::string kHeaderOut =
    ";Ставка в % от банка;40% от банка;60% от банка;80% от банка;90% от банка;Сообщение";
const std::string kKelly55 = "55;2;;10;59,85;39,82;19,84;9,88;";
const std::string kHalfKelly55 = "55;2;5;5;21,3;6,24;0,77;0,09;";

INSTANTIATE_TEST_SUITE_P(
    Files, Batch,
    ::testing::Values(
        BatchCase{"Empty", "", "", 0, 0}, BatchCase{"OneBetNoLineEnd", "55;2", kKelly55, 1, 0},
        BatchCase{"StakeChoosesProbabilities", "55;2;5\n", kHalfKelly55 + "\n", 1, 0},
        BatchCase{"EmptyStakeMeansKelly", "55;2;\n", kKelly55 + "\n", 1, 0},
        BatchCase{"HeaderKeptAndExtended", "Вероятность;Коэффициент;Ставка\n55;2\n",
                  "Вероятность;Коэффициент;Ставка" + kHeaderOut + "\n" + kKelly55 + "\n", 1, 0},
        BatchCase{"ShortHeaderPadded", "p;k\n", "p;k;" + kHeaderOut + "\n", 0, 0},
        BatchCase{"OnlyTheFirstLineCanBeAHeader", "55;2\np;k\n", kKelly55 + "\np;k;;;;;;;" + kInvalid + "\n",
                  2, 1},
        BatchCase{"BadLineDoesNotStopTheRest", "abc;2\n55;\n;2\n55;2;\n",
                  "abc;2;;;;;;;" + kInvalid + "\n55;;;;;;;;" + kOddsMissing + "\n;2;;;;;;;" +
                      kProbabilityMissing + "\n" + kKelly55 + "\n",
                  4, 3},
        BatchCase{"EmptyLinesCopied", "\n55;2\n\n", "\n" + kKelly55 + "\n\n", 1, 0},
        BatchCase{"CrLfKeptPerLine", "p;k;s\r\n55;2;5\r\n55;2\n",
                  "p;k;s" + kHeaderOut + "\r\n" + kHalfKelly55 + "\r\n" + kKelly55 + "\n", 2, 0},
        BatchCase{"ByteOrderMarkKept", "\xEF\xBB\xBFp;k\n55;2\n",
                  "\xEF\xBB\xBFp;k;" + kHeaderOut + "\n" + kKelly55 + "\n", 1, 0},
        BatchCase{"TooManyFields", "55;2;5;7\n",
                  "55;2;5;;;;;;В строке больше трёх полей: вероятность, коэффициент и ставка.\n", 1, 1},
        BatchCase{"PartialFailureShowsNoResults", "100;2\n", "100;2;;;;;;;" + kInvalid + "\n", 1, 1},
        BatchCase{"NoValueAdviceInTheMessageColumn", "40;2\n63,29;1,58\n",
                  "40;2;;-20;59,37;39,25;19,35;9,54;" + *brelmont::NoValueAdvice(40, 2) +
                      "\n63,29;1,58;;0;;;;;" + *brelmont::NoValueAdvice(63.29, 1.58) + "\n",
                  2, 0},
        BatchCase{"NegativeStakeRefused", "55;2;-5\n", "55;2;-5;;;;;;" + kInvalid + "\n", 1, 1}),
    brelmont::testing::RowName{});

const std::string kTooLong = ";;;;;;;;Строка длиннее 4096 байт, она не прочитана.";

INSTANTIATE_TEST_SUITE_P(
    Bounds, Batch,
    ::testing::Values(
        BatchCase{"LineAtTheBoundIsRead", std::string(4092, ' ') + "55;2\r\n",
                  std::string(4092, ' ') + kKelly55 + "\r\n", 1, 0},
        BatchCase{"LongerLineGetsItsMessage", "55;2\n" + std::string(4093, ' ') + "55;2\r\n55;2",
                  kKelly55 + "\n" + kTooLong + "\r\n" + kKelly55, 3, 1},
        BatchCase{"LongLastLineWithoutLineEnd", std::string(5000, '5'), kTooLong, 1, 1},
        BatchCase{"LongFirstLineKeepsTheByteOrderMark", "\xEF\xBB\xBF" + std::string(5000, 'p') + "\n55;2\n",
                  "\xEF\xBB\xBF" + kTooLong + "\n" + kKelly55 + "\n", 2, 1},
        BatchCase{"NulByteEndsTheReading", "55;2\n55;2\n5" + std::string(1, '\0') + ";2\n55;2\n",
                  kKelly55 + "\n" + kKelly55 + "\n", 2, 0, 3},
        BatchCase{"Utf16IsNoText",
                  std::string("5\0"
                              "5\0;\0"
                              "2\0\n\0",
                              10),
                  "", 0, 0, 1}),
    brelmont::testing::RowName{});

// Runs the file reader on `input` and returns what it wrote.
std::string ThroughFiles(const std::string& input, brelmont::BatchSummary& summary) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    EXPECT_NE(in, nullptr);
    EXPECT_NE(out, nullptr);
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    summary = brelmont::RunBatch(in, out);
    std::string written(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    EXPECT_EQ(std::fread(written.data(), 1, written.size(), out), written.size());
    std::fclose(in);
    std::fclose(out);
    return written;
}

// Lines cut by the reader's chunk boundaries come out whole, in order, as from the text version.
TEST(BatchFile, StreamsLinesAcrossChunkBoundaries) {
    std::string input;
    for (int i = 0; i < 40000; ++i) {
        input += i % 3 == 0 ? "55;2;5\r\n" : (i % 3 == 1 ? "60;1,9\n" : "x;2\n");
    }
    input += "55;2";
    brelmont::BatchSummary summary;
    const std::string written = ThroughFiles(input, summary);

    brelmont::BatchSummary expected;
    EXPECT_EQ(written, brelmont::BatchText(input, &expected));
    EXPECT_EQ(summary.lines, 40001U);
    EXPECT_EQ(summary.failed, expected.failed);
    EXPECT_EQ(summary.failed, 13333U);
}

// A line longer than several chunks is skipped, not kept, and its line end still comes out where it was; the
// lines around it, cut by chunk boundaries too, come out as from the text version.
TEST(BatchFile, SkipsALineLongerThanSeveralChunks) {
    std::string input;
    for (int i = 0; i < 30000; ++i) {
        input += "55;2;5\n";
    }
    input += std::string(1'000'000, '5') + "\r\n";
    for (int i = 0; i < 30000; ++i) {
        input += "60;1,9\n";
    }
    input += std::string(300'000, ';'); // no line end at all
    brelmont::BatchSummary summary;
    const std::string written = ThroughFiles(input, summary);

    brelmont::BatchSummary expected;
    EXPECT_EQ(written, brelmont::BatchText(input, &expected));
    EXPECT_EQ(summary.lines, 60002U);
    EXPECT_EQ(summary.failed, 2U);
    EXPECT_EQ(expected.failed, 2U);
}

// Everything computed before the NUL byte is written, even from chunks before the one that holds it.
TEST(BatchFile, WritesWhatCameBeforeANulByte) {
    std::string input;
    for (int i = 0; i < 50000; ++i) {
        input += "55;2\n";
    }
    input += "55;2" + std::string(1, '\0') + std::string(600'000, '\0');
    brelmont::BatchSummary summary;
    const std::string written = ThroughFiles(input, summary);
    EXPECT_EQ(summary.stoppedAtLine, 50001U);
    EXPECT_EQ(summary.lines, 50000U);
    EXPECT_EQ(written.size(), 50000 * (kKelly55.size() + 1));
}

} // namespace
