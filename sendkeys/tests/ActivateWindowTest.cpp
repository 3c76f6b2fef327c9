// SPDX-License-Identifier: MIT
#include "base/testing/RowName.h"
#include "sendkeys/SendKeys.h"
#include "sendkeys/testing/RecordingKeyPlatform.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

std::string Times(const std::string& part, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += part;
    }
    return text;
}

struct SearchRow {
    std::string name;
    std::vector<RecordedWindow> windows;
    std::string title;
    WindowHandle found = 0;
    std::size_t enumerated = 0; // windows the enumeration reported before it stopped
};

void PrintTo(const SearchRow& row, std::ostream* out) {
    *out << row.name;
}

class Search : public ::testing::TestWithParam<SearchRow> {
protected:
    void SetUp() override { SetKeyPlatform(&platform); }
    void TearDown() override { SetKeyPlatform(nullptr); }

    RecordingKeyPlatform platform;
};

TEST_P(Search, FindsActivatesAndRestoresTheWindow) {
    const SearchRow& row = GetParam();
    platform.Windows = row.windows;
    FoundWindow = 99; // left by an earlier search
    EXPECT_EQ(ActivateWindow(row.title), row.found != 0);
    EXPECT_EQ(FoundWindow, row.found);
    EXPECT_EQ(platform.EnumeratedWindows, row.enumerated);
    const std::string id = std::to_string(row.found);
    EXPECT_EQ(platform.Describe(), row.found != 0 ? "activate " + id + ", restore " + id : "");
}

const std::string Help = "Справка";

INSTANTIATE_TEST_SUITE_P(
    Titles, Search,
    ::testing::Values(
        SearchRow{"ExactTitleNeedsNoEnumeration", {{2, Help + " Windows"}, {1, Help}}, Help, 1, 0},
        SearchRow{"CyrillicPrefix", {{5, "Калькулятор"}, {7, Help + " Windows"}}, Help, 7, 2},
        SearchRow{"AsciiLettersFolded", {{7, Help + " Windows"}}, Help + " wINDOWS", 7, 1},
        SearchRow{"CyrillicLettersNotFolded", {{7, Help + " Windows"}}, "справка", 0, 1},
        SearchRow{
            "FirstInEnumerationOrderWins", {{3, Help + " Windows (2)"}, {7, Help + " Windows"}}, Help, 3, 1},
        SearchRow{"ShorterTitleNeverMatches", {{3, "Спр"}, {4, ""}}, Help, 0, 2},
        SearchRow{"EmptyTextTakesFirstWindow", {{4, "a"}, {6, "b"}}, "", 4, 1},
        SearchRow{"EmptyTextFindsUntitledExactly", {{4, "a"}, {6, ""}}, "", 6, 0},
        SearchRow{"UnknownTitle", {{4, "a"}, {6, "b"}}, "Справка Windows", 0, 2},
        SearchRow{"NoWindows", {}, Help, 0, 0},
        SearchRow{"TextEndsAtNul", {{4, "ab"}}, std::string("a\0z", 3), 4, 1},
        SearchRow{"First79CharactersMatch", {{8, Times("X", 79) + "YZ"}}, Times("x", 79), 8, 1},
        SearchRow{
            "EightiethCharacterNeverCompared", {{8, Times("X", 79) + "YZ"}}, Times("X", 79) + "Y", 0, 1},
        SearchRow{"CutCountsCyrillicCharacters", {{8, Times("Ж", 81)}}, Times("Ж", 79), 8, 1},
        SearchRow{"CyrillicPastTheCutNeverCompared", {{8, Times("Ж", 81)}}, Times("Ж", 80), 0, 1}),
    testing::RowName{});

TEST(ActivateWindowFailure, ErrorInsideIsCaughtAndNothingSent) {
    RecordingKeyPlatform platform;
    platform.FailWindowLookup = true;
    platform.Windows = {{4, "Справка Windows"}};
    SetKeyPlatform(&platform);
    EXPECT_FALSE(ActivateWindow("Справка"));
    SetKeyPlatform(nullptr);
    EXPECT_EQ(platform.Describe(), "");
}

} // namespace
} // namespace brelmont
