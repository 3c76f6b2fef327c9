// SPDX-License-Identifier: MIT
#include "helpviewer/TopicSearch.h"

#include "base/testing/RowName.h"

#include <gtest/gtest.h>

namespace {

using ::brelmont::testing::PrintTo;
using brelmont::viewer::SearchQuery;

struct MatchRow {
    std::string name;
    QString query;
    QString text;
    bool found;
};

class QueryMatching : public ::testing::TestWithParam<MatchRow> {};

TEST_P(QueryMatching, FindsTheTextOnlyWhenItHoldsEveryWord) {
    EXPECT_EQ(SearchQuery(GetParam().query).FoundIn(GetParam().text), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Search, QueryMatching,
    ::testing::Values(
        MatchRow{"CyrillicCapitalsMatchSmallLetters", QStringLiteral("КЕЛЛИ"),
                 QStringLiteral("критерий Келли"), true},
        MatchRow{"YoTypedAsYe", QStringLiteral("расчет"), QStringLiteral("Пример расчёта"), true},
        MatchRow{"YeTypedAsYo", QStringLiteral("Ёще"), QStringLiteral("ЕЩЕ"), true},
        MatchRow{"StartOfAWordFindsItsForms", QStringLiteral("ставк"), QStringLiteral("ставками"), true},
        MatchRow{"InsideAWordIsNoHit", QStringLiteral("ставк"), QStringLiteral("заставка"), false},
        MatchRow{"EveryWordIsNeeded", QStringLiteral("Келли дисперсия"), QStringLiteral("критерий Келли"),
                 false},
        MatchRow{"WordsInAnyOrder", QStringLiteral("банк ставка"), QStringLiteral("ставка от банка"), true},
        MatchRow{"QuotesAndCommasAroundAWordAreDropped", QStringLiteral("«Келли»,"),
                 QStringLiteral("по Келли"), true},
        MatchRow{"PatternCharactersAreLiteral", QStringLiteral("1,95 (p·k"),
                 QStringLiteral("коэффициент 1,95 и f = (p·k − 1)"), true},
        MatchRow{"DotsMatchOnlyDots", QStringLiteral("1.9"), QStringLiteral("1,95"), false},
        MatchRow{"LatinLettersToo", QStringLiteral("mit"), QStringLiteral("лицензия MIT"), true},
        MatchRow{"TabsPartWords", QStringLiteral("риск\tбанк"), QStringLiteral("банк и риск"), true},
        MatchRow{"BlankQueryFindsNothing", QStringLiteral("  \t "), QStringLiteral("всё что угодно"), false}),
    brelmont::testing::RowName());

TEST(Search, AQueryOfPunctuationAloneIsEmptyAndRepeatsCountOnce) {
    EXPECT_TRUE(SearchQuery(QStringLiteral(" … — «» ")).IsEmpty());
    EXPECT_EQ(SearchQuery(QStringLiteral("риск РИСК Риск")).Words(), QStringList{QStringLiteral("риск")});
}

// The reader sees the whole word a typed start was found in, whichever word of the query it was.
TEST(Search, TheMarksCoverTheWholeWordsFound) {
    const QRegularExpression marks = SearchQuery(QStringLiteral("став ставка рас")).AnyWord();
    QStringList marked;
    for (auto it = marks.globalMatch(QStringLiteral("Ставками, заставка, расчёт, ставка.")); it.hasNext();) {
        marked << it.next().captured();
    }
    EXPECT_EQ(marked,
              (QStringList{QStringLiteral("Ставками"), QStringLiteral("расчёт"), QStringLiteral("ставка")}));
}

} // namespace
