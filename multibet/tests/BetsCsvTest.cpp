// SPDX-License-Identifier: MIT
// The bets file as bettors and spreadsheets write it, the messages that name the line and field at fault,
// the bounds on lines and bets, and the writer's text read back.
#include "multibet/BetsCsv.h"

#include "base/testing/RowName.h"
#include "stakecalc/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;
using testing::RowName;

struct GoodRow {
    const char* name;
    std::string text;
    std::vector<Bet> bets;
    bool header = false;
};

class BetsFileReads : public ::testing::TestWithParam<GoodRow> {};

TEST_P(BetsFileReads, TheBetsAsWritten) {
    const GoodRow& row = GetParam();
    const BetsFile file = ParseBetsCsv(row.text);
    EXPECT_EQ(file.header.has_value(), row.header);
    ASSERT_EQ(file.rows.size(), row.bets.size());
    for (std::size_t i = 0; i < row.bets.size(); ++i) {
        EXPECT_EQ(file.rows[i].bet.name, row.bets[i].name);
        EXPECT_DOUBLE_EQ(file.rows[i].bet.odds, row.bets[i].odds);
        EXPECT_DOUBLE_EQ(file.rows[i].bet.probability, row.bets[i].probability);
        EXPECT_DOUBLE_EQ(file.rows[i].bet.commission, row.bets[i].commission);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BetsFileReads,
    ::testing::Values(GoodRow{"ThreeFieldsNoHeader",
                              "П1;2,6;37\nX;2.4;40,5\n",
                              {{"П1", 2.6, 0.37, 0}, {"X", 2.4, 0.405, 0}}},
                      GoodRow{"HeaderCrLfByteOrderMarkAndCommission",
                              "\xEF\xBB\xBFНазвание;Коэффициент;Вероятность;Комиссия\r\nA;2,1;50;5\r\n",
                              {{"A", 2.1, 0.5, 0.05}},
                              true},
                      GoodRow{"ThreeOddsForms",
                              "A;5/2;30\nB;+150;35 %\nC;-200;60%\n",
                              {{"A", 3.5, 0.3, 0}, {"B", 2.5, 0.35, 0}, {"C", 1.5, 0.6, 0}}},
                      GoodRow{"BlanksEmptyLinesAndEmptyCommission",
                              "\n  A ; 2 ; 55 ;\n\r\n\t\nB;2;55",
                              {{"A", 2, 0.55, 0}, {"B", 2, 0.55, 0}}},
                      GoodRow{"QuotedNameHoldsSemicolonAndQuote",
                              "\"Спартак; \"\"М\"\"\" ;2;55\n",
                              {{"Спартак; \"М\"", 2, 0.55, 0}}},
                      GoodRow{"EmptyNameAllowed", ";2;55\n", {{"", 2, 0.55, 0}}}),
    RowName{});

struct BadRow {
    const char* name;
    std::string text;
    std::string message;
    std::size_t line;
};

class BetsFileRefuses : public ::testing::TestWithParam<BadRow> {};

TEST_P(BetsFileRefuses, NamingTheLineAndTheField) {
    const BadRow& row = GetParam();
    try {
        ParseBetsCsv(row.text);
        FAIL() << "read without complaint";
    } catch (const EBetsFileError& e) {
        EXPECT_EQ(e.Message(), row.message);
        EXPECT_EQ(e.Line, row.line);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BetsFileRefuses,
    ::testing::Values(
        BadRow{"NoBets", "Название;Коэффициент;Вероятность\n\n",
               "В файле нет ни одной ставки: нужна строка «название; коэффициент; вероятность в %»", 0},
        BadRow{"WordForProbability", "A;2;55\nB;2;abc\n", "Строка 2, поле «вероятность»: «abc» — не число",
               2},
        BadRow{"ProbabilityOutOfRange", "A;2;100\n",
               "Строка 1, поле «вероятность»: «100» — вероятность должна быть больше 0 и меньше 100 %", 1},
        BadRow{"BadOddsNamed", "\nA;1/0;30\n",
               "Строка 2, поле «коэффициент»: " +
                   [] {
                       try {
                           ParseOdds("1/0");
                       } catch (const EConvertError& e) {
                           return e.Message();
                       }
                       return std::string();
                   }(),
               2},
        BadRow{"CommissionOfAll", "A;2;55;100\n",
               "Строка 1, поле «комиссия»: «100» — комиссия должна быть от 0 до 100 % (не включая 100)", 1},
        BadRow{"TooFewFields", "A;2\n",
               "Строка 1: нужно 3 или 4 поля через «;» (название; коэффициент; вероятность в %; комиссия в "
               "%), а их 2",
               1},
        BadRow{"TooManyFields", "A;2;55;1;x;y\n",
               "Строка 1: нужно 3 или 4 поля через «;» (название; коэффициент; вероятность в %; комиссия в "
               "%), а их 5 "
               "или больше",
               1},
        BadRow{"UnclosedQuote", "\"A;2;55\n", "Строка 1, поле «название»: кавычка открыта и не закрыта", 1},
        BadRow{"LongLine", "A;2;55\n" + std::string(401, '1') + "\n", "Строка 2: длиннее 400 байт", 2},
        BadRow{"LongName", std::string(101, 'a') + ";2;55\n", "Строка 1, поле «название»: длиннее 100 байт",
               1},
        BadRow{"NameNotUtf8", "\xC0\xAF;2;55\n", "Строка 1, поле «название»: текст не в кодировке UTF-8", 1},
        BadRow{"Utf16", std::string("A\0;\0", 4),
               "Строка 1: нулевой байт: это не текст в UTF-8 (файл в UTF-16?)", 1}),
    RowName{});

TEST(BetsFileBounds, AHundredBetsAreReadAndOneMoreIsRefused) {
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "Исход " + std::to_string(i) + ";150;0,5\n";
    }
    EXPECT_EQ(ParseBetsCsv(text).rows.size(), 100u);
    text += "Лишний;150;0,5\n";
    try {
        ParseBetsCsv(text);
        FAIL();
    } catch (const EBetsFileError& e) {
        EXPECT_EQ(e.Message(), "Строка 101: ставок в наборе не больше 100");
    }
}

TEST(BetsFileBounds, AStreamIsReadOnlyAsFarAsTheBound) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    const std::string big(kMaxBetsFileBytes * 3, '\n');
    std::fwrite(big.data(), 1, big.size(), file);
    std::rewind(file);
    EXPECT_THROW(ReadBetsCsv(file), EBetsFileError);
    EXPECT_EQ(std::ftell(file), static_cast<long>(kMaxBetsFileBytes + 1));
    std::fclose(file);
}

TEST(BetsFileWriter, WritesWhatTheReaderReadsBack) {
    const std::vector<Bet> bets = {
        {"Дома", 2.6, 0.372026, 0}, {"Ничья; или нет", 3.5, 0.3, 0.05}, {" \"X\" ", 1.5, 0.6, 0}};
    const std::vector<OddsForm> forms = {OddsForm::Decimal, OddsForm::Fractional, OddsForm::American};
    const std::string text = WriteBetsCsv(bets, forms);
    EXPECT_EQ(text,
              "Название;Коэффициент;Вероятность;Комиссия\nДома;2,6;37,2026;0\n\"Ничья; или нет\";5/2;30;5\n"
              "\" \"\"X\"\" \";-200;60;0\n");
    const BetsFile back = ParseBetsCsv(text);
    ASSERT_TRUE(back.header.has_value());
    ASSERT_EQ(back.rows.size(), bets.size());
    for (std::size_t i = 0; i < bets.size(); ++i) {
        EXPECT_EQ(back.rows[i].bet.name, bets[i].name);
        EXPECT_DOUBLE_EQ(back.rows[i].bet.odds, bets[i].odds);
        EXPECT_DOUBLE_EQ(back.rows[i].bet.probability, bets[i].probability);
        EXPECT_DOUBLE_EQ(back.rows[i].bet.commission, bets[i].commission);
        EXPECT_EQ(back.rows[i].oddsForm, forms[i]);
    }
}

// Values at the edges of their ranges, as a fraction like 5/2111111630437464 gives, must come back as valid
// bets: odds written as "1" or a probability written as "100" would make the saved file unreadable.
TEST(BetsFileWriter, EdgeValuesComeBackAsValidBets) {
    struct Row {
        const char* name;
        Bet bet;
        OddsForm form;
    };
    const Row rows[] = {
        {"odds a hair above 1", {"a", 1 + 5 / 2111111630437464.0, 0.5, 0}, OddsForm::Decimal},
        {"the same in a fraction", {"b", 1 + 5 / 2111111630437464.0, 0.5, 0}, OddsForm::Fractional},
        {"a fraction too fine for its form", {"c", 1.00001, 0.5, 0}, OddsForm::Fractional},
        {"probability just under 1", {"d", 2, std::nextafter(1.0, 0.0), 0}, OddsForm::Decimal},
        {"tiny probability", {"e", 2, 1e-300, 0}, OddsForm::Decimal},
        {"commission just under 1", {"f", 2, 0.5, std::nextafter(1.0, 0.0)}, OddsForm::American},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<Bet> bets = {row.bet};
        const std::vector<OddsForm> forms = {row.form};
        BetsFile back;
        ASSERT_NO_THROW(back = ParseBetsCsv(WriteBetsCsv(bets, forms)));
        ASSERT_EQ(back.rows.size(), 1U);
        const Bet& got = back.rows[0].bet;
        EXPECT_GT(got.odds, 1);
        EXPECT_NEAR(got.odds, row.bet.odds, 1e-4 * std::max(1.0, row.bet.odds - 1));
        EXPECT_NEAR(got.probability, row.bet.probability, 1e-15);
        EXPECT_GT(got.probability, 0);
        EXPECT_LT(got.probability, 1);
        EXPECT_LT(got.commission, 1);
    }
}

} // namespace
} // namespace brelmont
