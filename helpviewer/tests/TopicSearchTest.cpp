// SPDX-License-Identifier: MIT
#include "helpviewer/TopicSearch.h"

#include "SampleHelp.h"
#include "base/testing/RowName.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ::brelmont::testing::PrintTo;
using brelmont::viewer::HelpBook;
using brelmont::viewer::SearchQuery;
using brelmont::viewer::SearchTopics;

struct MatchRow {
    std::string name;
    QString query;
    QString text;
    int hits;
};

class QueryMatching : public ::testing::TestWithParam<MatchRow> {};

TEST_P(QueryMatching, CountsTheHitsOfEveryWordOrNoneWhenOneIsMissing) {
    EXPECT_EQ(SearchQuery(GetParam().query).Hits(GetParam().text), GetParam().hits);
}

INSTANTIATE_TEST_SUITE_P(
    Search, QueryMatching,
    ::testing::Values(
        MatchRow{"CyrillicCapitalsMatchSmallLetters", QStringLiteral("КЕЛЛИ"),
                 QStringLiteral("критерий Келли"), 1},
        MatchRow{"YoTypedAsYe", QStringLiteral("расчет"), QStringLiteral("Пример расчёта"), 1},
        MatchRow{"YeTypedAsYo", QStringLiteral("Ёще"), QStringLiteral("ещё и ЕЩЕ"), 2},
        MatchRow{"StartOfAWordFindsItsForms", QStringLiteral("ставк"),
                 QStringLiteral("ставка, ставки и ставкой"), 3},
        MatchRow{"InsideAWordIsNoHit", QStringLiteral("ставк"), QStringLiteral("заставка"), 0},
        MatchRow{"EveryWordIsNeeded", QStringLiteral("Келли дисперсия"), QStringLiteral("критерий Келли"), 0},
        MatchRow{"AllWordsCount", QStringLiteral("банк ставка"), QStringLiteral("ставка от банка, банк"), 3},
        MatchRow{"QuotesAndCommasAroundAWordAreDropped", QStringLiteral("«Келли»,"),
                 QStringLiteral("по Келли"), 1},
        MatchRow{"PatternCharactersAreLiteral", QStringLiteral("1,95 (p·k"),
                 QStringLiteral("коэффициент 1,95 и f = (p·k − 1)"), 2},
        MatchRow{"DotsMatchOnlyDots", QStringLiteral("1.9"), QStringLiteral("1,95"), 0},
        MatchRow{"LatinLettersToo", QStringLiteral("mit"), QStringLiteral("лицензия MIT"), 1},
        MatchRow{"BlankQueryFindsNothing", QStringLiteral("  \t "), QStringLiteral("всё что угодно"), 0}),
    brelmont::testing::RowName());

TEST(Search, AQueryOfPunctuationAloneIsEmpty) {
    EXPECT_TRUE(SearchQuery(QStringLiteral(" … — «» ")).IsEmpty());
    EXPECT_EQ(SearchQuery(QStringLiteral("риск РИСК Риск")).Words(), QStringList{QStringLiteral("риск")});
}

TEST(Search, TheMarkingPatternPrefersTheLongerWord) {
    const auto match = SearchQuery(QStringLiteral("став ставка")).AnyWord().match(QStringLiteral("ставка"));
    ASSERT_TRUE(match.hasMatch());
    EXPECT_EQ(match.captured(), QStringLiteral("ставка"));
}

TEST(Search, FindsAWordInAnyTopicOfTheBookInItsOrder) {
    QTemporaryDir dir;
    brelmont::testing::WriteSampleHelp(dir.path());
    HelpBook book;
    ASSERT_TRUE(book.Load(dir.filePath(QStringLiteral("help.hlp"))));

    const auto every = SearchTopics(book, SearchQuery(QStringLiteral("РАЗДЕЛА")));
    ASSERT_EQ(every.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(every[i].title, brelmont::testing::kSampleTitles[i]);
        EXPECT_EQ(every[i].topicId, QStringLiteral("Topic%1").arg((i + 1) * 10));
    }
    // A heading, a word far down a long topic, and a table cell are all text of their topic.
    const auto last = SearchTopics(book, SearchQuery(QStringLiteral("разработки")));
    ASSERT_EQ(last.size(), 1);
    EXPECT_EQ(last[0].topicId, QStringLiteral("Topic60"));
    const auto deep = SearchTopics(book, SearchQuery(QStringLiteral("графику")));
    ASSERT_EQ(deep.size(), 1);
    EXPECT_EQ(deep[0].topicId, QStringLiteral("Topic50"));
    EXPECT_EQ(deep[0].hits, 40);
    EXPECT_EQ(SearchTopics(book, SearchQuery(QStringLiteral("55%"))).size(), 1);

    EXPECT_TRUE(SearchTopics(book, SearchQuery(QStringLiteral("теннис"))).isEmpty());
    EXPECT_TRUE(SearchTopics(book, SearchQuery()).isEmpty());
    // Markup is no text: a tag's name is not found.
    EXPECT_TRUE(SearchTopics(book, SearchQuery(QStringLiteral("table"))).isEmpty());
}

} // namespace
