// SPDX-License-Identifier: MIT
#include "sendkeys/SendKeys.h"

#include "base/Exception.h"
#include "base/testing/RowName.h"
#include "sendkeys/testing/RecordingKeyPlatform.h"

#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <string>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

class Recorded : public ::testing::Test {
protected:
    void SetUp() override { SetKeyPlatform(&platform); }
    void TearDown() override { SetKeyPlatform(nullptr); }

    RecordingKeyPlatform platform;
};

std::string Repeat(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

// Each row: the key string, the layout changes it needs, what the platform saw and what SendKeys answered.
struct SequenceRow {
    std::string name;
    std::string keys;
    std::string expected;
    bool result = true;
    std::map<char, KeyCode> layout = {};
};

void PrintTo(const SequenceRow& row, std::ostream* out) {
    *out << row.name;
}

class Sequences : public Recorded, public ::testing::WithParamInterface<SequenceRow> {};

TEST_P(Sequences, SendTheRecordedOperations) {
    const SequenceRow& row = GetParam();
    platform.LayoutOverrides = row.layout;
    EXPECT_EQ(SendKeys(row.keys, false), row.result);
    EXPECT_EQ(platform.Describe(), row.expected);
    EXPECT_TRUE(platform.KeysDown().empty());
}

const std::string Tab = "09 0, 09 2";

INSTANTIATE_TEST_SUITE_P(
    PlainCharactersAndShiftStates, Sequences,
    ::testing::Values(
        SequenceRow{"SmallLetter", "a", "41 0, 41 2"},
        SequenceRow{"CapitalLetterTakesShiftFromLayout", "A", "10 0, 41 0, 41 2, 10 2"},
        SequenceRow{"ShiftPrefix", "+a", "10 0, 41 0, 41 2, 10 2"}, SequenceRow{"Blank", " ", "20 0, 20 2"},
        SequenceRow{"ShiftedDigitKey", "!", "10 0, 31 0, 31 2, 10 2"},
        SequenceRow{"ClosingBraceOutsideBracesIsPlain", "}", "10 0, DD 0, DD 2, 10 2"},
        SequenceRow{"TildeIsEnter", "~", "0D 0, 0D 2"},
        SequenceRow{"PrefixAndLayoutShiftPressShiftTwice", "+A", "10 0, 10 0, 41 0, 41 2, 10 2, 10 2"},
        SequenceRow{"RepeatedPrefixPressesAgainReleasesOnce", "++a", "10 0, 10 0, 41 0, 41 2, 10 2"},
        SequenceRow{"AltPrefix", "%f", "12 0, 46 0, 46 2, 12 2"},
        SequenceRow{"PrefixesReleasedShiftControlAlt", "%^+x",
                    "12 0, 11 0, 10 0, 58 0, 58 2, 10 2, 11 2, 12 2"},
        SequenceRow{"LayoutModifiersReleasedInPressOrder",
                    "q",
                    "10 0, 11 0, 12 0, 51 0, 51 2, 10 2, 11 2, 12 2",
                    true,
                    {{'q', 0x0751}}},
        SequenceRow{"ControlLayoutKey", "\n", "11 0, 0D 0, 0D 2, 11 2"}),
    testing::RowName{});

INSTANTIATE_TEST_SUITE_P(
    PrefixesAndGroups, Sequences,
    ::testing::Values(
        SequenceRow{"ControlShiftLeftTwice", "^+{LEFT 2}", "11 0, 10 0, 25 1, 25 3, 25 1, 25 3, 10 2, 11 2"},
        SequenceRow{"GroupHoldsShift", "+(ab)c", "10 0, 41 0, 41 2, 42 0, 42 2, 10 2, 43 0, 43 2"},
        SequenceRow{"DoubleOpeningIsOneGroup", "+((ab)c", "10 0, 41 0, 41 2, 42 0, 42 2, 10 2, 43 0, 43 2"},
        SequenceRow{"ClosingWithoutOpeningOnlyReleases", "a)b", "41 0, 41 2, 42 0, 42 2"},
        SequenceRow{"PrefixInsideGroup", "(+a)b", "10 0, 41 0, 41 2, 10 2, 42 0, 42 2"},
        SequenceRow{"TildeReleasesPrefix", "^~a", "11 0, 0D 0, 0D 2, 11 2, 41 0, 41 2"},
        SequenceRow{"ShiftedKeyInGroupLiftsHeldShift", "+(Ab)",
                    "10 0, 10 0, 41 0, 41 2, 10 2, 42 0, 42 2, 10 2"}),
    testing::RowName{});

INSTANTIATE_TEST_SUITE_P(
    BraceNamesAndCounts, Sequences,
    ::testing::Values(SequenceRow{"EnterLowerCase", "{enter}", "0D 0, 0D 2"},
                      SequenceRow{"EnterMixedCase", "{Enter}", "0D 0, 0D 2"},
                      SequenceRow{"EnterUpperCase", "{ENTER}", "0D 0, 0D 2"},
                      SequenceRow{"TabThreeTimes", "{TAB 3}", Repeat(Tab, 3)},
                      SequenceRow{"TabZeroTimes", "{TAB 0}", ""},
                      SequenceRow{"CharacterZeroTimesKeepsItsModifiers", "{a 0}", "10 0, 10 2"},
                      SequenceRow{"SingleCharacterIsUpperCased", "{a}", "10 0, 41 0, 41 2, 10 2"},
                      SequenceRow{"CharacterWithCount", "{b 2}", "10 0, 42 0, 42 2, 42 0, 42 2, 10 2"},
                      SequenceRow{"LeadingBlankOfCountSkipped", "{TAB  2}", Repeat(Tab, 2)},
                      SequenceRow{"DollarHexCount", "{TAB $3}", Repeat(Tab, 3)},
                      SequenceRow{"XHexCount", "{tab x2}", Repeat(Tab, 2)},
                      SequenceRow{"ZeroXHexCount", "{TAB 0x2}", Repeat(Tab, 2)},
                      SequenceRow{"PlusSignedCount", "{TAB +2}", Repeat(Tab, 2)},
                      SequenceRow{"NegativeCountKeepsLow16Bits", "{TAB -65535}", Tab},
                      SequenceRow{"CountAbove16BitsWraps", "{TAB 65537}", Tab},
                      SequenceRow{"Count65536IsZero", "{TAB 65536}", ""},
                      SequenceRow{"HexCountKeepsLow16Bits", "{BS $FFFF0002}", "08 0, 08 2, 08 0, 08 2"},
                      SequenceRow{"LeftIsExtended", "{LEFT}", "25 1, 25 3"},
                      SequenceRow{"F5IsNotExtended", "{F5}", "74 0, 74 2"},
                      SequenceRow{"PrintScreenIsPrintKey", "{PRTSC}", "2A 0, 2A 2"},
                      SequenceRow{"CapsLockIsAnOrdinaryKey", "{CAPSLOCK}", "14 0, 14 2"}),
    testing::RowName{});

INSTANTIATE_TEST_SUITE_P(
    Braces, Sequences,
    ::testing::Values(SequenceRow{"Plus", "{+}", "10 0, BB 0, BB 2, 10 2"},
                      SequenceRow{"Caret", "{^}", "10 0, 36 0, 36 2, 10 2"},
                      SequenceRow{"Percent", "{%}", "10 0, 35 0, 35 2, 10 2"},
                      SequenceRow{"Tilde", "{~}", "10 0, C0 0, C0 2, 10 2"},
                      SequenceRow{"OpeningParenthesis", "{(}", "10 0, 39 0, 39 2, 10 2"},
                      SequenceRow{"ClosingParenthesis", "{)}", "10 0, 30 0, 30 2, 10 2"},
                      SequenceRow{"OpeningBrace", "{{}", "10 0, DB 0, DB 2, 10 2"},
                      SequenceRow{"ClosingBrace", "{}}", "10 0, DD 0, DD 2, 10 2"},
                      SequenceRow{"NameBeforeDoubleClosingIsDropped", "{TAB}}", "10 0, DD 0, DD 2, 10 2"},
                      SequenceRow{"ThirdCharacterAfterDoubleOpeningPassedOver", "{{xa",
                                  "10 0, DB 0, DB 2, 10 2, 41 0, 41 2"},
                      SequenceRow{"DoubleOpeningAtEnd", "{{", "10 0, DB 0, DB 2, 10 2"},
                      SequenceRow{"BracesIgnoreTheLayout",
                                  "{{}{}}",
                                  "10 0, DB 0, DB 2, 10 2, 10 0, DD 0, DD 2, 10 2",
                                  true,
                                  {{'{', NoKey}, {'}', NoKey}}},
                      SequenceRow{"PrefixedBraceShiftsTwice", "+{{}", "10 0, 10 0, DB 0, DB 2, 10 2, 10 2"}),
    testing::RowName{});

INSTANTIATE_TEST_SUITE_P(
    RejectedKeys, Sequences,
    ::testing::Values(SequenceRow{"EmptyStringSendsNothing", "", "", false},
                      SequenceRow{"StringEndsAtNul", std::string("a\0b", 3), "41 0, 41 2"},
                      SequenceRow{"LeadingNulIsEmpty", std::string("\0a", 2), "", false},
                      SequenceRow{"EmptyName", "{}", "box SendKeys: Invalid Key Name"},
                      SequenceRow{"UnknownNameThenLetter", "{XYZ}a",
                                  "box SendKeys: Invalid Key Name, 41 0, 41 2"},
                      SequenceRow{"UnknownNameKeepsPrefixForNextKey", "+{XYZ}a",
                                  "10 0, box SendKeys: Invalid Key Name, 41 0, 41 2, 10 2"},
                      SequenceRow{"NameIsNotAPrefixMatch", "{ENT}", "box SendKeys: Invalid Key Name"},
                      SequenceRow{"SpaceHasNoName", "{SPACE}", "box SendKeys: Invalid Key Name"},
                      SequenceRow{"CharacterWithoutKey", "\xC3", "box SendKeys: Invalid KeyName"},
                      SequenceRow{"CharacterWithoutKeyKeepsPrefix",
                                  "+qa",
                                  "10 0, box SendKeys: Invalid KeyName, 41 0, 41 2, 10 2",
                                  true,
                                  {{'q', NoKey}}},
                      SequenceRow{"BracedCharacterWithoutKeyIsSilent", "{\xC3}a", "41 0, 41 2"}),
    testing::RowName{});

INSTANTIATE_TEST_SUITE_P(NameCut, Sequences,
                         ::testing::Values(SequenceRow{"LongNameCutToTwentyIsUnknown",
                                                       "{ABCDEFGHIJKLMNOPQRSTUVWXYZ}",
                                                       "box SendKeys: Invalid Key Name"},
                                           SequenceRow{"NameOfTwentyThatIsKnownAfterCut",
                                                       "{ESC 0000000000000002}", "1B 0, 1B 2, 1B 0, 1B 2"},
                                           SequenceRow{"DigitsPastTwentyDropped", "{ESC 00000000000000029}",
                                                       "1B 0, 1B 2, 1B 0, 1B 2"}),
                         testing::RowName{});

// Early ends: the keys pressed so far are released, Shift first, then Control, then Alt.
INSTANTIATE_TEST_SUITE_P(
    EarlyEndsReleaseModifiers, Sequences,
    ::testing::Values(
        SequenceRow{"NoCloseAfterTypedLetters", "abc{TAB",
                    "41 0, 41 2, 42 0, 42 2, 43 0, 43 2, box SendKeys: No Close", false},
        SequenceRow{"LoneOpeningBrace", "{", "box SendKeys: No Close", false},
        SequenceRow{"NoCloseReleasesShift", "+{TAB", "10 0, box SendKeys: No Close, 10 2", false},
        SequenceRow{"NoCloseReleasesInShiftControlAltOrder", "%^+{TAB",
                    "12 0, 11 0, 10 0, box SendKeys: No Close, 10 2, 11 2, 12 2", false},
        SequenceRow{"OpenGroupReleasedAtEnd", "+(abc", "10 0, 41 0, 41 2, 42 0, 42 2, 43 0, 43 2, 10 2"},
        SequenceRow{"OpenGroupWithPrefixInside", "(^a", "11 0, 41 0, 41 2, 11 2"},
        SequenceRow{"ShiftAlreadyLiftedIsNotReleasedAgain", "+(A", "10 0, 10 0, 41 0, 41 2, 10 2"}),
    testing::RowName{});

struct ConversionRow {
    std::string name;
    std::string keys;
    std::string message;
    std::string expected;
};

void PrintTo(const ConversionRow& row, std::ostream* out) {
    *out << row.name;
}

class BadCounts : public Recorded, public ::testing::WithParamInterface<ConversionRow> {};

TEST_P(BadCounts, RaiseConversionErrorAfterReleasingModifiers) {
    const ConversionRow& row = GetParam();
    try {
        SendKeys(row.keys, false);
        ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), row.message);
    }
    EXPECT_EQ(platform.Describe(), row.expected);
    EXPECT_TRUE(platform.KeysDown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Counts, BadCounts,
    ::testing::Values(
        ConversionRow{"BlankBeforeName", "{ enter}", "'ENTER' is not a valid integer value", ""},
        ConversionRow{"LetterCountIsUpperCased", "{TAB x}", "'X' is not a valid integer value", ""},
        ConversionRow{"SingleBlank", "{ }", "'' is not a valid integer value", ""},
        ConversionRow{"TrailingBlank", "{TAB 2 }", "'2 ' is not a valid integer value", ""},
        ConversionRow{"OnlyBlanksLeftAfterCut", "{ESC" + std::string(17, ' ') + "7}",
                      "'" + std::string(16, ' ') + "' is not a valid integer value", ""},
        ConversionRow{"OnlyFirstBlankSplits", "{DEL 1 2}", "'1 2' is not a valid integer value", ""},
        ConversionRow{"DecimalOutOfRange", "{TAB 2147483648}", "'2147483648' is not a valid integer value",
                      ""},
        ConversionRow{"HexTooWide", "{TAB $100000000}", "'$100000000' is not a valid integer value", ""},
        ConversionRow{"SignBeforeHex", "{TAB -$1}", "'-$1' is not a valid integer value", ""},
        ConversionRow{"EarlierKeysStaySent", "a{TAB $}", "'$' is not a valid integer value", "41 0, 41 2"},
        ConversionRow{"HeldShiftReleased", "+{TAB x}", "'X' is not a valid integer value", "10 0, 10 2"},
        ConversionRow{"GroupModifiersReleasedInOrder", "%(^{TAB x}", "'X' is not a valid integer value",
                      "12 0, 11 0, 11 2, 12 2"}),
    testing::RowName{});

TEST_F(Recorded, ScrollLockCountCutToTwentyCharacters) {
    platform.RecordKeyEvents = false;
    EXPECT_TRUE(SendKeys("{SCROLLLOCK 1234567890}", false));
    EXPECT_EQ(platform.KeyEventCount, 2u * 52501u); // 123456789 modulo 65536
}

TEST_F(Recorded, CountOfMinusOneIs65535) {
    platform.RecordKeyEvents = false;
    EXPECT_TRUE(SendKeys("{F1 -1}", false));
    EXPECT_EQ(platform.KeyEventCount, 2u * 65535u);
}

TEST_F(Recorded, EveryNamedKeyWithItsExtendedFlag) {
    const std::string extended = "PGUP PGDN END HOME LEFT UP RIGHT DOWN INS DEL DELETE";
    for (const KeyName& row : KeyNameTable) {
        if (row.VirtualKey == vk::NumLock) {
            continue;
        }
        platform.Operations.clear();
        SCOPED_TRACE(std::string(row.Name));
        const bool isExtended =
            (" " + extended + " ").find(" " + std::string(row.Name) + " ") != std::string::npos;
        ASSERT_TRUE(SendKeys("{" + std::string(row.Name) + "}", false));
        ASSERT_EQ(platform.Operations.size(), 2u);
        EXPECT_EQ(platform.Operations[0].VirtualKey, row.VirtualKey);
        EXPECT_EQ(platform.Operations[0].Flags, isExtended ? 1u : 0u);
        EXPECT_EQ(platform.Operations[1].Flags, isExtended ? 3u : 2u);
    }
}

TEST_F(Recorded, FunctionKeyNamesFollowTheirNumbers) {
    for (int n = 1; n <= 16; ++n) {
        platform.Operations.clear();
        ASSERT_TRUE(SendKeys("{f" + std::to_string(n) + "}", false));
        ASSERT_FALSE(platform.Operations.empty());
        EXPECT_EQ(platform.Operations[0].VirtualKey, 0x6F + n);
    }
}

TEST_F(Recorded, ScanCodeIsLowByteOfTheMapping) {
    ASSERT_TRUE(SendKeys("+{LEFT}", false));
    for (const RecordedOperation& op : platform.Operations) {
        EXPECT_EQ(op.ScanCode, RecordingKeyPlatform::ScanCodeOf(op.VirtualKey) & 0xFFu);
    }
}

struct NumLockRow {
    std::string name;
    std::string keys;
    std::uint8_t before = 0;
    std::string expected;
};

void PrintTo(const NumLockRow& row, std::ostream* out) {
    *out << row.name;
}

class NumLock : public Recorded, public ::testing::WithParamInterface<NumLockRow> {};

TEST_P(NumLock, FlipsTheStateBitWithoutAKeyEvent) {
    const NumLockRow& row = GetParam();
    platform.State[vk::NumLock] = row.before;
    EXPECT_TRUE(SendKeys(row.keys, false));
    EXPECT_EQ(platform.Describe(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Toggle, NumLock,
    ::testing::Values(NumLockRow{"TurnsOn", "{NUMLOCK}", 0x00, "state 90=01"},
                      NumLockRow{"TurnsOffKeepingOtherBits", "{numlock}", 0x81, "state 90=80"},
                      NumLockRow{"CountIgnored", "{NUMLOCK 5}", 0x00, "state 90=01"},
                      NumLockRow{"ZeroCountIgnored", "{NUMLOCK 0}", 0x01, "state 90=00"},
                      NumLockRow{"PrefixStillReleased", "+{NUMLOCK}", 0x00, "10 0, state 90=01, 10 2"}),
    testing::RowName{});

TEST_F(Recorded, WaitDispatchesPendingMessagesAfterEveryEvent) {
    platform.PendingMessages = {{0x0100, 0x41, 0}, {0x0102, 'a', 0}};
    EXPECT_TRUE(SendKeys("a", true));
    EXPECT_EQ(platform.Describe(), "41 0, translate, dispatch, translate, dispatch, 41 2");
}

TEST_F(Recorded, WithoutWaitNothingIsDispatched) {
    platform.PendingMessages = {{0x0100, 0x41, 0}};
    EXPECT_TRUE(SendKeys("a", false));
    EXPECT_EQ(platform.Describe(), "41 0, 41 2");
    EXPECT_EQ(platform.PendingMessages.size(), 1u);
}

TEST_F(Recorded, NoStateCarriesIntoTheNextCall) {
    EXPECT_TRUE(SendKeys("+(a", false));
    platform.Operations.clear();
    EXPECT_TRUE(SendKeys("b", false));
    EXPECT_EQ(platform.Describe(), "42 0, 42 2");
}

} // namespace
} // namespace brelmont
