#include "clock/PlacementRules.h"

#include <algorithm>
#include <limits>

namespace {

bool intersects(const CRect& a, const CRect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

long long distanceSquared(const CRect& r, const CRect& area)
{
    // Gap between the rectangle's caption corner and the area, per axis.
    const long long dx = r.left < area.left ? area.left - r.left : (r.left >= area.right ? r.left - area.right + 1 : 0);
    const long long dy = r.top < area.top ? area.top - r.top : (r.top >= area.bottom ? r.top - area.bottom + 1 : 0);
    return dx * dx + dy * dy;
}

int clampInto(int start, int length, int areaStart, int areaEnd)
{
    // Too big for the area: its start (the caption, the icon) is what must be on screen.
    return std::max(areaStart, std::min(start, areaEnd - length));
}

} // namespace

CRect ReachablePlacement(const CRect& stored, const CRect& current, const std::vector<CRect>& workAreas,
                         int captionHeight)
{
    CRect r = stored;
    if (r.IsRectEmpty())
        r = CRect(stored.left, stored.top, stored.left + current.Width(), stored.top + current.Height());
    if (workAreas.empty())
        return r;

    const CRect caption(r.left, r.top, r.right, r.top + std::max(1, captionHeight));
    for (const CRect& area : workAreas) {
        if (intersects(caption, area))
            return r;
    }

    const CRect* nearest = &workAreas.front();
    long long best = std::numeric_limits<long long>::max();
    for (const CRect& area : workAreas) {
        const long long d = distanceSquared(r, area);
        if (d < best) {
            best = d;
            nearest = &area;
        }
    }
    const int width = r.Width();
    const int height = r.Height();
    const int left = clampInto(r.left, width, nearest->left, nearest->right);
    const int top = clampInto(r.top, height, nearest->top, nearest->bottom);
    return CRect(left, top, left + width, top + height);
}
