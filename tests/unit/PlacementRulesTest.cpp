// Stored window rectangles with one and two screens: kept where a third of the caption's width
// and all of its height are on one screen, otherwise moved wholly on by the least distance.
#include <gtest/gtest.h>

#include <climits>

#include "clock/PlacementRules.h"

namespace {

TEST(PlacementRules, KeepsTheCaptionReachable)
{
    const CRect current(0, 0, 166, 19); // folded clock at the default place; a third is 55.3 pixels
    const std::vector<CRect> none, one = {CRect(0, 0, 1920, 1080)};
    // A second screen to the right, smaller and lower, with a gap below it.
    const std::vector<CRect> two = {CRect(0, 0, 1920, 1080), CRect(1920, 200, 3200, 1000)};
    const struct { const char* name; const std::vector<CRect>& screens; CRect stored, expected; } cases[] = {
        {"reachable", one, CRect(100, 100, 266, 254), CRect(100, 100, 266, 254)},
        {"barely: 56 pixels of caption in the bottom right corner", one, CRect(1864, 1061, 2030, 1215), CRect(1864, 1061, 2030, 1215)},
        {"unreachable: 55 pixels of caption", one, CRect(1865, 50, 2031, 204), CRect(1754, 50, 1920, 204)},
        {"unreachable: the caption's top row above the screen", one, CRect(10, -1, 176, 153), CRect(10, 0, 176, 154)},
        {"unreachable: the caption's bottom row below the screen", one, CRect(10, 1062, 176, 1216), CRect(10, 926, 176, 1080)},
        {"unreachable: 10 x 10 pixels on screen", one, CRect(-156, -144, 10, 10), CRect(0, 0, 166, 154)},
        {"unreachable: only the body on screen", one, CRect(100, -100, 266, 54), CRect(100, 0, 266, 154)},
        {"two screens: on the second", two, CRect(2500, 500, 2666, 654), CRect(2500, 500, 2666, 654)},
        {"two screens: half the caption on each", two, CRect(1837, 300, 2003, 454), CRect(1837, 300, 2003, 454)},
        {"two screens: nearest is the smaller one above", two, CRect(2500, 1050, 2666, 1204), CRect(2500, 846, 2666, 1000)},
        {"second screen unplugged: onto the first", one, CRect(2500, 500, 2666, 654), CRect(1754, 500, 1920, 654)},
        {"bigger than the screen: its corner on it", one, CRect(-50, -3000, 2950, 3000), CRect(0, 0, 3000, 6000)},
        {"empty keeps the current size", one, CRect(300, 200, 300, 200), CRect(300, 200, 466, 219)},
        {"inverted keeps the current size", one, CRect(300, 200, 100, 50), CRect(300, 200, 466, 219)},
        {"the widest ints of a hand edit", one, CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), CRect(0, 0, INT_MAX, INT_MAX)},
        {"no screens: only the size is mended", none, CRect(5, 5, 5, 5), CRect(5, 5, 171, 24)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReachablePlacement(c.stored, current, c.screens, 19), c.expected) << c.name;
}

} // namespace
