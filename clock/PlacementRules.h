// Where a stored window rectangle may be used: a window must never come up where its caption
// is hard to reach (after a screen was unplugged, or with a mere corner on screen) or with no
// size at all.
#pragma once

#include <vector>

#include "core/Rect.h"

// The rectangle to use for `stored`, given the window's `current` one, the work areas of the
// screens and the height of the caption. `stored` is returned unchanged when at least a third
// of its caption's width and all of its height lie on one work area; otherwise it is moved by
// the least distance wholly onto the nearest work area (its top-left corner, where it is
// bigger), keeping its size. An empty `stored` takes the size of `current`.
CRect ReachablePlacement(const CRect& stored, const CRect& current, const std::vector<CRect>& workAreas,
                         int captionHeight);
