// Dialog units to pixels: the arithmetic that sizes every dialog and control.
#include <gtest/gtest.h>

#include "core/DialogUnits.h"

namespace {

struct UnitsCase {
    DialogBaseUnits units;
    int dlu;
    int x;
    int y;
};

class DialogUnitsTest : public testing::TestWithParam<UnitsCase> {};

TEST_P(DialogUnitsTest, ConvertsWithRoundingHalfAwayFromZero)
{
    const UnitsCase& c = GetParam();
    EXPECT_EQ(DluToPixelsX(c.units, c.dlu), c.x);
    EXPECT_EQ(DluToPixelsY(c.units, c.dlu), c.y);
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogUnitsTest,
    testing::Values(
        UnitsCase{{6, 12}, 90, 135, 135}, // the calendar's height at 96 dpi
        UnitsCase{{6, 12}, 95, 143, 143}, // 142.5 rounds up
        UnitsCase{{7, 12}, 95, 166, 143},
        UnitsCase{{7, 12}, 1, 2, 2}, // 1.75 and 1.5 round up
        UnitsCase{{6, 12}, 0, 0, 0},
        UnitsCase{{6, 12}, -3, -5, -5}, // -4.5 rounds away from zero
        UnitsCase{{14, 24}, 90, 315, 270})); // twice the font

TEST(DialogUnitsTest, AverageWidthFromTheAlphabet)
{
    EXPECT_EQ(AverageCharWidth(369), 7); // 9-point Japanese Gothic
    EXPECT_EQ(AverageCharWidth(312), 6); // 52 letters of 6 pixels
    EXPECT_EQ(AverageCharWidth(0), 0);
}

} // namespace
