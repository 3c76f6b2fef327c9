// SPDX-License-Identifier: MIT
#include "helpviewer/HelpBook.h"

#include "SampleHelp.h"
#include "base/testing/RowName.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ::brelmont::testing::PrintTo;

using brelmont::viewer::DecodeCp1251;
using brelmont::viewer::HelpBook;
using brelmont::viewer::TopicPlace;

struct ByteCase {
    std::string name;
    unsigned char byte;
    char16_t unicode;
};

class Cp1251 : public ::testing::TestWithParam<ByteCase> {};

TEST_P(Cp1251, DecodesTheByte) {
    const QString text = DecodeCp1251(QByteArray(1, static_cast<char>(GetParam().byte)));
    ASSERT_EQ(text.size(), 1);
    EXPECT_EQ(text.at(0).unicode(), GetParam().unicode);
}

INSTANTIATE_TEST_SUITE_P(Bytes, Cp1251,
                         ::testing::Values(ByteCase{"Ascii", 'W', u'W'}, ByteCase{"FirstCapital", 0xC0, u'А'},
                                           ByteCase{"LastSmall", 0xFF, u'я'},
                                           ByteCase{"CapitalIo", 0xA8, u'Ё'}, ByteCase{"SmallIo", 0xB8, u'ё'},
                                           ByteCase{"Numero", 0xB9, u'№'}, ByteCase{"EmDash", 0x97, u'—'},
                                           ByteCase{"Unassigned", 0x98, 0xFFFD},
                                           ByteCase{"NoBreakSpace", 0xA0, 0x00A0}),
                         brelmont::testing::RowName());

TEST(HelpContents, TheShippedContentsFileGivesSixEntriesAndNoTitle) {
    const QByteArray bytes = brelmont::testing::SampleContents();
    EXPECT_EQ(bytes.size(), 218);
    HelpBook book;
    book.ParseContents(DecodeCp1251(bytes));
    EXPECT_TRUE(book.Title().isEmpty());
    ASSERT_EQ(book.Contents().size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(book.Contents()[i].title, brelmont::testing::kSampleTitles[i]);
        EXPECT_EQ(book.Contents()[i].topicId, QStringLiteral("Topic%1").arg((i + 1) * 10));
        EXPECT_EQ(book.Contents()[i].level, 1);
    }
}

TEST(HelpContents, BooksLevelsTitlesAndOddLines) {
    HelpBook book;
    book.ParseContents(
        QStringLiteral(":Title Моя справка\n:Index x=y.hlp\n1 Глава\n2 A = B=T1@other.hlp>win\n"
                       "garbage\n\n0 Zero=T2"));
    EXPECT_EQ(book.Title(), QStringLiteral("Моя справка"));
    ASSERT_EQ(book.Contents().size(), 3);
    EXPECT_TRUE(book.Contents()[0].topicId.isEmpty());
    EXPECT_EQ(book.Contents()[1].title, QStringLiteral("A = B"));
    EXPECT_EQ(book.Contents()[1].topicId, QStringLiteral("T1"));
    EXPECT_EQ(book.Contents()[1].level, 2);
    EXPECT_EQ(book.Contents()[2].level, 1);
}

TEST(HelpDocument, TopicsStartAtTheirAnchorsWhateverCarriesThem) {
    HelpBook book;
    book.ParseTopicList(QStringLiteral("A\tFirst\nB\tSecond\t7\nC\tThird\nD\tMissing\n"));
    book.ParseDocument(QStringLiteral("<html><head><style>p{}</style></head><body>intro"
                                      "<h1><a name=\"A\"></a>First</h1><p>one</p>\n"
                                      "<div class=\"t\" id='B'><h2>Second</h2><p>two</p></div>"
                                      "<h2 id=\"C\">Third</h2><p>three</p></body></html>"),
                       {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    ASSERT_NE(book.FindTopic(QStringLiteral("a")), nullptr);
    EXPECT_EQ(book.FindTopic(QStringLiteral("A"))->html,
              QStringLiteral("<h1><a name=\"A\"></a>First</h1><p>one</p>\n"));
    EXPECT_EQ(book.FindTopic(QStringLiteral("B"))->html,
              QStringLiteral("<div class=\"t\" id='B'><h2>Second</h2><p>two</p></div>"));
    EXPECT_EQ(book.FindTopic(QStringLiteral("C"))->html,
              QStringLiteral("<h2 id=\"C\">Third</h2><p>three</p>"));
    EXPECT_EQ(book.FindTopic(QStringLiteral("C"))->title, QStringLiteral("Third"));
    EXPECT_EQ(book.FindTopic(QStringLiteral("D")), nullptr);
    EXPECT_EQ(book.TopicForContext(7), QStringLiteral("B"));
    EXPECT_TRUE(book.TopicForContext(0).isEmpty());
    EXPECT_EQ(book.Style(), QStringLiteral("p{}"));
}

TEST(HelpDocument, IdsInsideATopicAreItsSectionsAndLeadThere) {
    HelpBook book;
    book.ParseDocument(QStringLiteral("<body><h2 id=\"T1\">One</h2><h3 id=\"Chart\">Chart</h3><p>x</p>"
                                      "<h2 id=\"T2\">Two</h2><p><a name=\"Late\"></a>y</p>"
                                      "<p id=\"T1\">again</p></body>"),
                       {QStringLiteral("T1"), QStringLiteral("T2")});
    EXPECT_EQ(book.Locate(QStringLiteral("t1")), (TopicPlace{QStringLiteral("T1"), {}}));
    EXPECT_EQ(book.Locate(QStringLiteral("chart")),
              (TopicPlace{QStringLiteral("T1"), QStringLiteral("Chart")}));
    EXPECT_EQ(book.Locate(QStringLiteral("Late")),
              (TopicPlace{QStringLiteral("T2"), QStringLiteral("Late")}));
    // A topic's id met again further on stays the topic's, never a section of another.
    EXPECT_EQ(book.Locate(QStringLiteral("T1")), (TopicPlace{QStringLiteral("T1"), {}}));
    EXPECT_FALSE(book.Locate(QStringLiteral("Nowhere")).has_value());
    EXPECT_FALSE(book.Locate(QString()).has_value());
    EXPECT_EQ(book.FindTopic(QStringLiteral("Chart")), nullptr);
}

TEST(HelpKeywords, LookupIgnoresCaseAndTheFirstEntryWins) {
    HelpBook book;
    book.ParseKeywords(
        QStringLiteral("Келли\tTopic50\r\nкелли\tTopic10\nno tab\n\tTopic1\nкнопки\tTopic40\n"));
    EXPECT_EQ(book.TopicForKeyword(QStringLiteral("КЕЛЛИ")), QStringLiteral("Topic50"));
    EXPECT_EQ(book.TopicForKeyword(QStringLiteral(" кнопки ")), QStringLiteral("Topic40"));
    EXPECT_TRUE(book.TopicForKeyword(QStringLiteral("help.hlp")).isEmpty());
    EXPECT_EQ(book.Keywords(), (QStringList{QStringLiteral("Келли"), QStringLiteral("кнопки")}));
}

TEST(HelpFileSet, LoadsTheFourFilesAndFailsOnlyWithoutTheHelpFile) {
    QTemporaryDir dir;
    brelmont::testing::WriteSampleHelp(dir.path());
    HelpBook book;
    ASSERT_TRUE(book.Load(dir.filePath(QStringLiteral("help.hlp"))));
    EXPECT_EQ(book.Contents().size(), 6);
    ASSERT_NE(book.FindTopic(QStringLiteral("Topic60")), nullptr);
    EXPECT_EQ(book.FindTopic(QStringLiteral("Topic60"))->title, QStringLiteral("Наши разработки"));
    EXPECT_FALSE(book.FindTopic(QStringLiteral("Topic60"))->html.contains(QStringLiteral("</body>")));
    EXPECT_EQ(book.TopicForKeyword(QStringLiteral("келли")), QStringLiteral("Topic50"));
    EXPECT_FALSE(book.Load(dir.filePath(QStringLiteral("missing.hlp"))));
    EXPECT_TRUE(book.Contents().isEmpty());
}

} // namespace
