// SPDX-License-Identifier: MIT
#include "base/Text.h"

#include "base/testing/RowName.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using brelmont::testing::PrintTo;

struct CaseRow {
    std::string name;
    std::string a;
    std::string b;
    bool same = false;
    bool starts = false;
};

class AsciiCaseFolding : public ::testing::TestWithParam<CaseRow> {};

TEST_P(AsciiCaseFolding, FoldsOnlyLatinLetters) {
    EXPECT_EQ(brelmont::SameTextAsciiCase(GetParam().a, GetParam().b), GetParam().same);
    EXPECT_EQ(brelmont::StartsWithAsciiCase(GetParam().a, GetParam().b), GetParam().starts);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, AsciiCaseFolding,
    ::testing::Values(CaseRow{"Equal", "brelmont-help", "brelmont-help", true, true},
                      CaseRow{"MixedCase", "Brelmont-HELP", "brelmont-help", true, true},
                      CaseRow{"ShorterIsNoMatch", "brelmont-hel", "brelmont-help", false, false},
                      CaseRow{"LongerStartsWith", "brelmont-helpx", "brelmont-help", false, true},
                      CaseRow{"CyrillicNotFolded", "Справка", "справка", false, false},
                      CaseRow{"BracketsAreNotLetters", "[", "{", false, false},
                      CaseRow{"AtAndBacktickAreNotLetters", "@`", "`@", false, false},
                      CaseRow{"EmptyPrefix", "mailto:", "", false, true},
                      CaseRow{"SchemeInCapitals", "HTTP://x", "http://", false, true}),
    brelmont::testing::RowName());

struct CutRow {
    std::string name;
    std::string text;
    std::size_t max = 0;
    std::string byCharacters;
    std::string byBytes;
};

class Utf8Cut : public ::testing::TestWithParam<CutRow> {};

TEST_P(Utf8Cut, KeepsWholeCharacters) {
    EXPECT_EQ(brelmont::CutUtf8(GetParam().text, GetParam().max), GetParam().byCharacters);
    EXPECT_EQ(brelmont::CutUtf8Bytes(GetParam().text, GetParam().max), GetParam().byBytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf8Cut,
                         ::testing::Values(CutRow{"ShortTextKept", "abc", 79, "abc", "abc"},
                                           CutRow{"AsciiCut", "abcdef", 3, "abc", "abc"},
                                           CutRow{"Cyrillic", "Справка", 3, "Спр", "С"},
                                           CutRow{"MixedText", "aЖbЖ", 3, "aЖb", "aЖ"},
                                           CutRow{"ZeroLeavesNothing", "Ж", 0, "", ""},
                                           CutRow{"ExactLength", "ЖЖ", 2, "ЖЖ", "Ж"},
                                           CutRow{"ByteLimitOnBoundary", "ЖЖ", 4, "ЖЖ", "ЖЖ"},
                                           CutRow{"FourByteCharacter", "a😀b", 2, "a😀", "a"}),
                         brelmont::testing::RowName());

struct IntRow {
    std::string name;
    std::string text;
    std::optional<std::int32_t> value;
};

class DecimalInt32 : public ::testing::TestWithParam<IntRow> {};

TEST_P(DecimalInt32, AcceptsOnlySignAndDigitsInRange) {
    EXPECT_EQ(brelmont::ParseDecimalInt32(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecimalInt32,
    ::testing::Values(IntRow{"Plain", "218", 218}, IntRow{"Zero", "0", 0},
                      IntRow{"LeadingZeros", "0000000000007", 7}, IntRow{"Plus", "+5", 5},
                      IntRow{"Minus", "-5", -5}, IntRow{"Largest", "2147483647", INT32_MAX},
                      IntRow{"Smallest", "-2147483648", INT32_MIN},
                      IntRow{"OneTooLarge", "2147483648", std::nullopt},
                      IntRow{"OneTooSmall", "-2147483649", std::nullopt},
                      IntRow{"FarTooLarge", "99999999999999999999", std::nullopt},
                      IntRow{"Empty", "", std::nullopt}, IntRow{"SignOnly", "-", std::nullopt},
                      IntRow{"LeadingBlank", " 1", std::nullopt}, IntRow{"TrailingBlank", "1 ", std::nullopt},
                      IntRow{"Hexadecimal", "$10", std::nullopt}, IntRow{"TwoSigns", "+-1", std::nullopt}),
    brelmont::testing::RowName());

} // namespace
