#include "core/WallClock.h"

#include "core/Time.h"

using namespace std::chrono;

system_clock::duration DelayToNextBoundary(system_clock::time_point now, milliseconds period)
{
    if (period <= milliseconds::zero())
        return system_clock::duration::zero();
    const system_clock::duration step = period;
    // floor division, so that instants before 1970 round the same way
    auto periods = now.time_since_epoch() / step;
    if (now.time_since_epoch() % step < system_clock::duration::zero())
        --periods;
    return system_clock::time_point((periods + 1) * step) - now;
}

system_clock::duration DelayToNextMidnight(system_clock::time_point now)
{
    const std::tm local = CTime(system_clock::to_time_t(now)).GetLocalTm();
    // mktime rolls day 32 into the next month and finds midnight across DST changes.
    const CTime midnight(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday + 1, 0, 0, 0);
    return system_clock::from_time_t(midnight.GetTime()) - now;
}
