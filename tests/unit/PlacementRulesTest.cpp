// Stored window rectangles that nobody could reach, or that have no size, with one and two
// screens; everything even partly reachable stays exactly as stored.
#include <gtest/gtest.h>

#include "clock/PlacementRules.h"

namespace {

const CRect kCurrent(0, 0, 166, 19); // folded clock at the default place
const std::vector<CRect> kOneScreen = {CRect(0, 0, 1920, 1080)};
// A second screen to the right, smaller and lower, with a gap below it.
const std::vector<CRect> kTwoScreens = {CRect(0, 0, 1920, 1080), CRect(1920, 200, 3200, 1000)};

struct PlacementCase {
    const char* name;
    const std::vector<CRect>* screens;
    CRect stored;
    CRect expected;
};

class PlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, KeepsTheCaptionReachable)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(ReachablePlacement(c.stored, kCurrent, *c.screens, 19), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementTest,
    testing::Values(
        PlacementCase{"on screen", &kOneScreen, CRect(100, 100, 266, 254), CRect(100, 100, 266, 254)},
        PlacementCase{"partly off the right edge", &kOneScreen, CRect(1900, 50, 2066, 204), CRect(1900, 50, 2066, 204)},
        PlacementCase{"caption's last row on screen", &kOneScreen, CRect(10, -18, 176, 1), CRect(10, -18, 176, 1)},
        PlacementCase{"caption just above the screen", &kOneScreen, CRect(10, -19, 176, 0), CRect(10, 0, 176, 19)},
        PlacementCase{"far right of one screen", &kOneScreen, CRect(5000, 300, 5166, 454), CRect(1754, 300, 1920, 454)},
        PlacementCase{"far left and up", &kOneScreen, CRect(-900, -900, -734, -746), CRect(0, 0, 166, 154)},
        PlacementCase{"only the body on screen", &kOneScreen, CRect(100, -100, 266, 54), CRect(100, 0, 266, 154)},
        PlacementCase{"empty keeps the current size", &kOneScreen, CRect(300, 200, 300, 200), CRect(300, 200, 466, 219)},
        PlacementCase{"inverted keeps the current size", &kOneScreen, CRect(300, 200, 100, 50), CRect(300, 200, 466, 219)},
        PlacementCase{"empty and off screen", &kOneScreen, CRect(9000, 9000, 9000, 9000), CRect(1754, 1061, 1920, 1080)},
        PlacementCase{"on the second screen", &kTwoScreens, CRect(2500, 500, 2666, 654), CRect(2500, 500, 2666, 654)},
        PlacementCase{"below the smaller second screen", &kTwoScreens, CRect(2500, 1050, 2666, 1204), CRect(2500, 846, 2666, 1000)},
        PlacementCase{"screen unplugged: nearest is the first", &kOneScreen, CRect(2500, 500, 2666, 654), CRect(1754, 500, 1920, 654)},
        PlacementCase{"bigger than the screen", &kOneScreen, CRect(-50, -3000, 2950, 3000), CRect(0, 0, 3000, 6000)}),
    [](const testing::TestParamInfo<PlacementCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

TEST(PlacementTest, WithoutScreensOnlyTheSizeIsMended)
{
    EXPECT_EQ(ReachablePlacement(CRect(-9000, 0, -8834, 19), kCurrent, {}, 19), CRect(-9000, 0, -8834, 19));
    EXPECT_EQ(ReachablePlacement(CRect(5, 5, 5, 5), kCurrent, {}, 19), CRect(5, 5, 171, 24));
}

} // namespace
