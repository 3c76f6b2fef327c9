// SPDX-License-Identifier: MIT
#include "helpviewer/Macros.h"

#include "base/testing/RowName.h"
#include "helpdelivery/display/HelpSystem.h"

#include <gtest/gtest.h>

namespace {

using ::brelmont::testing::PrintTo;

using brelmont::viewer::RunMacros;
using brelmont::viewer::ViewAction;
using Kind = ViewAction::Kind;

// The help knows topics Topic10..Topic60 and two keywords; "other.hlp" knows only "чужой".
bool HasTopic(const QString&, const QString& id) {
    return id.startsWith(QStringLiteral("Topic"));
}
QString FindKeyword(const QString& file, const QString& keyword) {
    if (file == u"other.hlp") {
        return keyword == u"чужой" ? QStringLiteral("Topic60") : QString();
    }
    if (keyword == u"Келли") {
        return QStringLiteral("Topic50");
    }
    return keyword == u"кнопки" ? QStringLiteral("Topic40") : QString();
}

struct MacroCase {
    std::string name;
    std::string text;
    ViewAction expected;
};

class Macro : public ::testing::TestWithParam<MacroCase> {};

TEST_P(Macro, ShowsWhatTheRequestAsks) {
    const auto action = RunMacros(QString::fromStdString(GetParam().text), HasTopic, FindKeyword);
    EXPECT_EQ(action.kind, GetParam().expected.kind);
    EXPECT_EQ(action.file, GetParam().expected.file);
    EXPECT_EQ(action.topic, GetParam().expected.topic);
    EXPECT_EQ(action.keyword, GetParam().expected.keyword);
}

const std::string kHelpButton = brelmont::JumpCommand(brelmont::kHelpJumpTopic);
const std::string kF1Bare = brelmont::KeywordCommand("help.hlp", "help.hlp");
const std::string kF1Path =
    brelmont::KeywordCommand("/run/user/1000/abcdefgh/help.hlp", "/run/user/1000/abcdefgh/help.hlp");

INSTANTIATE_TEST_SUITE_P(
    Requests, Macro,
    ::testing::Values(
        MacroCase{"HelpButtonTopicIsUndefined", kHelpButton, {Kind::Contents, "", "", ""}},
        MacroCase{"DefinedTopic", R"(JumpID("","Topic50"))", {Kind::Topic, "", "Topic50", ""}},
        MacroCase{
            "JumpIntoAnotherFile", R"(JI(`other.hlp',Topic20))", {Kind::Topic, "other.hlp", "Topic20", ""}},
        MacroCase{"F1BeforeTheFirstClick", kF1Bare, {Kind::KeywordSearch, "help.hlp", "", "help.hlp"}},
        MacroCase{"F1AfterAClick",
                  kF1Path,
                  {Kind::KeywordSearch, "/run/user/1000/abcdefgh/help.hlp", "",
                   "/run/user/1000/abcdefgh/help.hlp"}},
        MacroCase{"KnownKeywordTakesTheAssociativeLink",
                  brelmont::KeywordCommand("Келли", "help.hlp"),
                  {Kind::Topic, "", "Topic50", ""}},
        MacroCase{
            "KeywordListFirstKnownWins", R"(JK("","нет;кнопки;Келли"))", {Kind::Topic, "", "Topic40", ""}},
        MacroCase{
            "KeywordInTheNamedFile", R"(JK("other.hlp","чужой"))", {Kind::Topic, "other.hlp", "Topic60", ""}},
        MacroCase{
            "SeveralMacrosLastWins", R"(JumpID("","Topic10");Contents())", {Kind::Contents, "", "", ""}},
        MacroCase{"NamesIgnoreCase", R"(jumpid("","Topic20"))", {Kind::Topic, "", "Topic20", ""}},
        MacroCase{"UnknownMacro", R"(BrowseButtons())", {Kind::Contents, "", "", ""}},
        MacroCase{"NotAMacro", "Topic10", {Kind::Contents, "", "", ""}},
        MacroCase{"UnclosedText", R"(JumpID("","Topic10)", {Kind::Contents, "", "", ""}},
        MacroCase{"MissingParenthesis", R"(JumpID("","Topic10")", {Kind::Contents, "", "", ""}},
        MacroCase{"Empty", "", {Kind::Contents, "", "", ""}}),
    brelmont::testing::RowName());

TEST(MacroNesting, DeepNestingIsCutOffWithoutHarm) {
    std::string calls;
    for (int i = 0; i < 20000; ++i) {
        calls += "JumpID(\"\",";
    }
    calls += "\"Topic10\"" + std::string(20000, ')');
    EXPECT_EQ(RunMacros(QString::fromStdString(calls), HasTopic, FindKeyword).kind, Kind::Contents);

    std::string parens(100000, '(');
    EXPECT_EQ(RunMacros(QString::fromStdString("IE" + parens), HasTopic, FindKeyword).kind, Kind::Contents);
}

} // namespace
