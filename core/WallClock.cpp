#include "core/WallClock.h"

using namespace std::chrono;

system_clock::time_point NextBoundary(system_clock::time_point now, milliseconds period)
{
    if (period <= milliseconds::zero())
        return now;
    const auto sinceEpoch = duration_cast<milliseconds>(now.time_since_epoch());
    // floor division, so that instants before 1970 round the same way
    auto periods = sinceEpoch / period;
    if (sinceEpoch % period < milliseconds::zero())
        --periods;
    return system_clock::time_point((periods + 1) * period);
}

milliseconds DelayToNextBoundary(system_clock::time_point now, milliseconds period)
{
    return duration_cast<milliseconds>(NextBoundary(now, period) - now);
}
