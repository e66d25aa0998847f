// Where a stored window rectangle may be used: a window must never come up where its caption
// cannot be reached (after a screen was unplugged) or with no size at all.
#pragma once

#include <vector>

#include "core/Rect.h"

// The rectangle to use for `stored`, given the window's `current` one, the work areas of the
// screens and the height of the caption. A rectangle any part of whose caption lies on a
// screen is returned unchanged.
CRect ReachablePlacement(const CRect& stored, const CRect& current, const std::vector<CRect>& workAreas,
                         int captionHeight);
