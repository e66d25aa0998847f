// Stored window rectangles that nobody could reach, or that have no size, with one and two
// screens; everything even partly reachable stays exactly as stored.
#include <gtest/gtest.h>

#include "clock/PlacementRules.h"

namespace {

TEST(PlacementRules, KeepsTheCaptionReachable)
{
    const CRect current(0, 0, 166, 19); // folded clock at the default place
    const std::vector<CRect> none, one = {CRect(0, 0, 1920, 1080)};
    // A second screen to the right, smaller and lower, with a gap below it.
    const std::vector<CRect> two = {CRect(0, 0, 1920, 1080), CRect(1920, 200, 3200, 1000)};
    const struct { const char* name; const std::vector<CRect>& screens; CRect stored, expected; } cases[] = {
        {"on screen", one, CRect(100, 100, 266, 254), CRect(100, 100, 266, 254)},
        {"partly off the right edge", one, CRect(1900, 50, 2066, 204), CRect(1900, 50, 2066, 204)},
        {"caption's last row on screen", one, CRect(10, -18, 176, 1), CRect(10, -18, 176, 1)},
        {"caption just above the screen", one, CRect(10, -19, 176, 0), CRect(10, 0, 176, 19)},
        {"far right of one screen", one, CRect(5000, 300, 5166, 454), CRect(1754, 300, 1920, 454)},
        {"far left and up", one, CRect(-900, -900, -734, -746), CRect(0, 0, 166, 154)},
        {"only the body on screen", one, CRect(100, -100, 266, 54), CRect(100, 0, 266, 154)},
        {"empty keeps the current size", one, CRect(300, 200, 300, 200), CRect(300, 200, 466, 219)},
        {"inverted keeps the current size", one, CRect(300, 200, 100, 50), CRect(300, 200, 466, 219)},
        {"empty and off screen", one, CRect(9000, 9000, 9000, 9000), CRect(1754, 1061, 1920, 1080)},
        {"on the second screen", two, CRect(2500, 500, 2666, 654), CRect(2500, 500, 2666, 654)},
        {"below the smaller second screen", two, CRect(2500, 1050, 2666, 1204), CRect(2500, 846, 2666, 1000)},
        {"screen unplugged: nearest is the first", one, CRect(2500, 500, 2666, 654), CRect(1754, 500, 1920, 654)},
        {"bigger than the screen", one, CRect(-50, -3000, 2950, 3000), CRect(0, 0, 3000, 6000)},
        {"no screens: only the size is mended", none, CRect(-9000, 0, -8834, 19), CRect(-9000, 0, -8834, 19)},
        {"no screens, empty", none, CRect(5, 5, 5, 5), CRect(5, 5, 171, 24)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReachablePlacement(c.stored, current, c.screens, 19), c.expected) << c.name;
}

} // namespace
