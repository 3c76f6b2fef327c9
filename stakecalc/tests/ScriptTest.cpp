// SPDX-License-Identifier: MIT
#include "stakecalc/Script.h"

#include "base/testing/RowName.h"
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
};

class ScriptBet : public ::testing::TestWithParam<BetCase> {};

// The script's answer is what the window shows for the same field texts: the same five texts, or the same
// message. A failure shows no results at all, unlike the window, which keeps what it wrote before the error.
TEST_P(ScriptBet, MatchesTheWindowForTheSameTexts) {
    const BetCase& c = GetParam();
    brelmont::testing::MemoryFields window;
    window.texts[1] = c.p;
    window.texts[2] = c.k;
    window.texts[3] = c.s;
    if (c.hasStake) {
        brelmont::ComputeProbabilitiesCommand(window);
    } else {
        brelmont::ComputeAllCommand(window);
    }

    const BetResult script = brelmont::RunBet({c.p, c.k, c.s, c.hasStake});
    EXPECT_EQ(script.message, c.expectedMessage);
    EXPECT_EQ(script.message, window.message);
    for (std::size_t i = 0; i < script.texts.size(); ++i) {
        EXPECT_EQ(script.texts[i], script.Failed() ? "" : window.texts[3 + i]) << "result " << i;
    }
}

const std::string kProbabilityMissing = "Вы не заполнили поле Вероятность события.";
const std::string kOddsMissing = "Вы не заполнили поле Коэффициент.";
const std::string kStakeMissing = "Вы не заполнили поле Ставка в % от банка.";
const std::string kInvalid = "В одно из полей введено не допустимое значение.";

INSTANTIATE_TEST_SUITE_P(Commands, ScriptBet,
                         ::testing::Values(BetCase{"KellyAt55", "55", "2", "", false, ""},
                                           BetCase{"KellyAt60WithDot", "60", "1.9", "", false, ""},
                                           BetCase{"KellyAt50WithComma", "50", "2,5", "", false, ""},
                                           BetCase{"HalfKelly", "55", "2", "5", true, ""},
                                           BetCase{"ClampedAt100", "55", "2", "25", true, ""},
                                           BetCase{"SpacesAround", " 55 ", "2", "", false, ""},
                                           BetCase{"ProbabilityMissing", "", "", "", false,
                                                   kProbabilityMissing},
                                           BetCase{"OddsMissing", "55", "", "", false, kOddsMissing},
                                           BetCase{"StakeMissing", "55", "2", "", true, kStakeMissing},
                                           BetCase{"NotANumber", "abc", "2", "", false, kInvalid},
                                           BetCase{"BlanksOnly", "  ", "2", "", false, kInvalid},
                                           BetCase{"FairOddsFailAfterStake", "50", "2", "", false, kInvalid},
                                           BetCase{"EvenOddsDivideByZero", "55", "1", "", false, kInvalid},
                                           BetCase{"WholeBankStake", "55", "2", "100", true, kInvalid}),
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
};

class Batch : public ::testing::TestWithParam<BatchCase> {};

TEST_P(Batch, WritesEachLineWithItsResults) {
    const BatchCase& c = GetParam();
    brelmont::BatchSummary summary;
    EXPECT_EQ(brelmont::BatchText(c.input, &summary), c.output);
    EXPECT_EQ(summary.lines, c.lines);
    EXPECT_EQ(summary.failed, c.failed);
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
        BatchCase{"PartialFailureShowsNoResults", "50;2\n", "50;2;;;;;;;" + kInvalid + "\n", 1, 1}),
    brelmont::testing::RowName{});

// Lines cut by the reader's chunk boundaries come out whole, in order, as from the text version.
TEST(BatchFile, StreamsLinesAcrossChunkBoundaries) {
    std::string input;
    for (int i = 0; i < 40000; ++i) {
        input += i % 3 == 0 ? "55;2;5\r\n" : (i % 3 == 1 ? "60;1,9\n" : "x;2\n");
    }
    input += "55;2";
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);

    const brelmont::BatchSummary summary = brelmont::RunBatch(in, out);
    std::string written(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    ASSERT_EQ(std::fread(written.data(), 1, written.size(), out), written.size());
    std::fclose(in);
    std::fclose(out);

    brelmont::BatchSummary expected;
    EXPECT_EQ(written, brelmont::BatchText(input, &expected));
    EXPECT_EQ(summary.lines, 40001U);
    EXPECT_EQ(summary.failed, expected.failed);
    EXPECT_EQ(summary.failed, 13333U);
}

} // namespace
