// Dialog units to pixels: the arithmetic that sizes every dialog and control.
#include <gtest/gtest.h>

#include "core/DialogUnits.h"

namespace {

TEST(DialogUnitsTest, ConvertsWithRoundingHalfAwayFromZero)
{
    const struct { DialogBaseUnits units; int dlu, x, y; } cases[] = {
        {{6, 12}, 90, 135, 135}, // the calendar's height at 96 dpi
        {{6, 12}, 95, 143, 143}, // 142.5 rounds up
        {{7, 12}, 95, 166, 143},
        {{7, 12}, 1, 2, 2}, // 1.75 and 1.5 round up
        {{6, 12}, 0, 0, 0},
        {{6, 12}, -3, -5, -5}, // -4.5 rounds away from zero
        {{14, 24}, 90, 315, 270}, // twice the font
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.units.cx << 'x' << c.units.cy << ", " << c.dlu << " units");
        EXPECT_EQ(DluToPixelsX(c.units, c.dlu), c.x);
        EXPECT_EQ(DluToPixelsY(c.units, c.dlu), c.y);
    }
}

TEST(DialogUnitsTest, AverageWidthFromTheAlphabet)
{
    EXPECT_EQ(AverageCharWidth(369), 7); // 9-point Japanese Gothic
    EXPECT_EQ(AverageCharWidth(312), 6); // 52 letters of 6 pixels
    EXPECT_EQ(AverageCharWidth(0), 0);
}

} // namespace
