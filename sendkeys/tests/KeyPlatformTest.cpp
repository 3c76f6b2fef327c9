// SPDX-License-Identifier: MIT
#include "base/testing/RowName.h"
#include "sendkeys/SendKeys.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

struct LayoutRow {
    std::string name;
    char character = 0;
    KeyCode code = 0;
};

void PrintTo(const LayoutRow& row, std::ostream* out) {
    *out << row.name;
}

class UsLayout : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(UsLayout, GivesTheKeyAndShiftState) {
    EXPECT_EQ(UsLayoutKeyCode(GetParam().character), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, UsLayout,
    ::testing::Values(LayoutRow{"SmallLetter", 'a', 0x041}, LayoutRow{"CapitalLetter", 'Z', 0x15A},
                      LayoutRow{"Digit", '7', 0x037}, LayoutRow{"ShiftedDigit", '@', 0x132},
                      LayoutRow{"Blank", ' ', 0x020}, LayoutRow{"Semicolon", ';', 0x0BA},
                      LayoutRow{"Colon", ':', 0x1BA}, LayoutRow{"Quote", '"', 0x1DE},
                      LayoutRow{"Backslash", '\\', 0x0DC}, LayoutRow{"Bar", '|', 0x1DC},
                      LayoutRow{"Underscore", '_', 0x1BD}, LayoutRow{"Tilde", '~', 0x1C0},
                      LayoutRow{"Tab", '\t', 0x009}, LayoutRow{"Return", '\r', 0x00D},
                      LayoutRow{"ControlA", '\x01', 0x241},
                      LayoutRow{"HighByte", static_cast<char>(0xD0), NoKey}, LayoutRow{"Nul", '\0', NoKey}),
    testing::RowName{});

TEST(SilentPlatform, SendsNothingAndFindsNoWindow) {
    SetKeyPlatform(nullptr);
    EXPECT_TRUE(SendKeys("abc{enter}", false));
    EXPECT_FALSE(ActivateWindow(""));
}

} // namespace
} // namespace brelmont
