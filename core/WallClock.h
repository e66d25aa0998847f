// Wall-clock arithmetic for timers that tick as the minute or the day turns rather than a minute
// or a day after start.
#pragma once

#include <chrono>

// Time from `now` to the next multiple of `period` since the epoch (a full period when `now`
// lies exactly on one), exact to the clock's resolution so a tick never lands just before the
// boundary. Minute boundaries are the same in every time zone in use.
std::chrono::system_clock::duration DelayToNextBoundary(std::chrono::system_clock::time_point now,
                                                        std::chrono::milliseconds period);

// Time from `now` to the next local midnight, the turn of the date (after a 23- or 25-hour day
// where daylight saving time changes).
std::chrono::system_clock::duration DelayToNextMidnight(std::chrono::system_clock::time_point now);
