// Bold-day masks for the month calendar: which days of each shown month have a topic.
#pragma once

#include <functional>
#include <vector>

#include "core/WinTypes.h"

// Masks for `count` months from (year, month); month may lie outside 1-12 and is
// carried into the year (0 = December of the year before). Bit d-1 is set when
// isMarked(y, m, d); days 1-31 are asked in every month.
std::vector<MONTHDAYSTATE> ComputeDayMasks(int year, int month, int count,
                                           const std::function<bool(int y, int m, int d)>& isMarked);
