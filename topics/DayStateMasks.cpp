#include "topics/DayStateMasks.h"

#include "core/CalendarMonth.h"

std::vector<MONTHDAYSTATE> ComputeDayMasks(int year, int month, int count,
                                           const std::function<bool(int y, int m, int d)>& isMarked)
{
    std::vector<MONTHDAYSTATE> masks;
    for (int n = 0; n < count; ++n) {
        const calendar::YearMonth ym = calendar::addMonths({year, month}, n);
        MONTHDAYSTATE mask = 0;
        // Asking about 29-31 everywhere is harmless: dates that don't exist have no topic.
        for (int d = 1; d <= 31; ++d) {
            if (isMarked(ym.year, ym.month, d))
                mask |= MONTHDAYSTATE{1} << (d - 1);
        }
        masks.push_back(mask);
    }
    return masks;
}
