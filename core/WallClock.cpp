#include "core/WallClock.h"

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
