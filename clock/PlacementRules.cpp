#include "clock/PlacementRules.h"

#include <algorithm>
#include <climits>
#include <limits>

namespace {

// A rectangle in wide arithmetic: a hand-edited profile may hold any int at all.
struct Box {
    long long left, top, right, bottom;
};

long long overlap(long long a0, long long a1, long long b0, long long b1)
{
    return std::max(0LL, std::min(a1, b1) - std::max(a0, b0));
}

// A third of the caption's width and all of its height on the area: enough to grab and to read.
bool reachableOn(const Box& caption, const CRect& area)
{
    return caption.top >= area.top && caption.bottom <= area.bottom
        && 3 * overlap(caption.left, caption.right, area.left, area.right) >= caption.right - caption.left;
}

// The least move of [start, start + length) into [areaStart, areaEnd); too long for the area,
// its start (the caption, the icon) is what stays on it.
long long clampInto(long long start, long long length, long long areaStart, long long areaEnd)
{
    return std::max(areaStart, std::min(start, areaEnd - length));
}

int saturated(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

CRect toRect(long long left, long long top, long long width, long long height)
{
    return CRect(saturated(left), saturated(top), saturated(left + width), saturated(top + height));
}

} // namespace

CRect ReachablePlacement(const CRect& stored, const CRect& current, const std::vector<CRect>& workAreas,
                         int captionHeight)
{
    const bool empty = stored.IsRectEmpty();
    const long long width = empty ? current.Width() : 0LL + stored.right - stored.left;
    const long long height = empty ? current.Height() : 0LL + stored.bottom - stored.top;
    const CRect sized = empty ? toRect(stored.left, stored.top, width, height) : stored;
    const Box caption{stored.left, stored.top, stored.left + width, stored.top + std::max(1, captionHeight)};
    if (workAreas.empty() || std::any_of(workAreas.begin(), workAreas.end(),
                                         [&](const CRect& area) { return reachableOn(caption, area); }))
        return sized;

    double best = std::numeric_limits<double>::infinity();
    long long left = stored.left, top = stored.top;
    for (const CRect& area : workAreas) {
        const long long x = clampInto(stored.left, width, area.left, area.right);
        const long long y = clampInto(stored.top, height, area.top, area.bottom);
        const double dx = static_cast<double>(x - stored.left), dy = static_cast<double>(y - stored.top);
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            left = x;
            top = y;
        }
    }
    return toRect(left, top, width, height);
}
