// SPDX-License-Identifier: MIT
// Where the second window opens, frames in logical pixels: beside the main window where a side has room,
// the main window moved aside when only the whole screen has room, over it from the roomier edge when the
// screen is too small (1280 × 1024 at 1,5x and 2x), and never outside the available area.
#include "ui/WindowPlacement.h"

#include "base/testing/RowName.h"

#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

// The risk chart's frame: its design size and its least size, with a frame like the main window's.
const QSize kPreferred(868, 674);
const QSize kLeast(568, 454);

struct PlaceRow {
    const char* name;
    QRect available;
    QRect main;
    QRect window;
    QPoint mainTopLeft;
};

class WindowPlacement : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(WindowPlacement, KeepsBothInSightWherePossibleAndAlwaysOnTheScreen) {
    const PlaceRow& row = GetParam();
    const Placement place = PlaceBeside(row.main, row.available, kPreferred, kLeast, 8);
    EXPECT_EQ(place.window, row.window);
    EXPECT_EQ(place.mainTopLeft, row.mainTopLeft);
    EXPECT_TRUE(row.available.contains(place.window));
    EXPECT_TRUE(row.available.contains(QRect(place.mainTopLeft, row.main.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Screens, WindowPlacement,
    ::testing::Values(PlaceRow{"CentredOn1280MovesTheMainWindowAside", QRect(0, 0, 1280, 1024),
                               QRect(344, 286, 592, 451), QRect(600, 286, 680, 674), QPoint(0, 286)},
                      PlaceRow{"At1_5xItCoversTheMainWindowFromTheEdge", QRect(0, 0, 853, 683),
                               QRect(130, 116, 592, 451), QRect(0, 9, 853, 674), QPoint(130, 116)},
                      PlaceRow{"At2xItTakesTheWholeScreen", QRect(0, 0, 640, 512), QRect(24, 30, 592, 451),
                               QRect(0, 0, 640, 512), QPoint(24, 30)},
                      PlaceRow{"WideScreenRightOfTheMainWindow", QRect(0, 0, 1920, 1080),
                               QRect(664, 314, 592, 451), QRect(1264, 314, 656, 674), QPoint(664, 314)},
                      PlaceRow{"FullSizeWhereThereIsRoom", QRect(0, 0, 2560, 1440), QRect(0, 0, 592, 451),
                               QRect(600, 0, 868, 674), QPoint(0, 0)},
                      PlaceRow{"LeftWhenTheMainWindowIsAtTheRightEdge", QRect(0, 0, 1920, 1080),
                               QRect(1328, 100, 592, 451), QRect(452, 100, 868, 674), QPoint(1328, 100)},
                      PlaceRow{"LowMainWindowKeepsTheChartOnScreen", QRect(0, 0, 1920, 1080),
                               QRect(0, 600, 592, 451), QRect(600, 406, 868, 674), QPoint(0, 600)},
                      PlaceRow{"SecondScreenWithAPanel", QRect(1280, 32, 1280, 992),
                               QRect(1624, 300, 592, 451), QRect(1880, 300, 680, 674), QPoint(1280, 300)}),
    testing::RowName());

} // namespace
} // namespace brelmont
