#include "topics/DayStateMasks.h"

std::vector<MONTHDAYSTATE> ComputeDayMasks(int year, int month, int count,
                                           const std::function<bool(int y, int m, int d)>& isMarked)
{
    std::vector<MONTHDAYSTATE> masks;
    if (count <= 0)
        return masks;
    masks.reserve(static_cast<std::size_t>(count));

    // Floor division so months below 1 borrow from earlier years.
    int zeroBased = month - 1;
    int carry = zeroBased / 12;
    zeroBased %= 12;
    if (zeroBased < 0) {
        zeroBased += 12;
        --carry;
    }
    int y = year + carry;
    int m = zeroBased + 1;

    for (int n = 0; n < count; ++n) {
        MONTHDAYSTATE mask = 0;
        // Asking about 29-31 everywhere is harmless: dates that don't exist have no topic.
        for (int d = 1; d <= 31; ++d) {
            if (isMarked(y, m, d))
                mask |= MONTHDAYSTATE{1} << (d - 1);
        }
        masks.push_back(mask);
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    return masks;
}
