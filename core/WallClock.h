// Wall-clock arithmetic for timers that tick as the minute turns rather than a minute after start.
#pragma once

#include <chrono>

// Time from `now` to the next multiple of `period` since the epoch (a full period when `now`
// lies exactly on one). Minute boundaries are the same in every time zone in use.
std::chrono::milliseconds DelayToNextBoundary(std::chrono::system_clock::time_point now,
                                              std::chrono::milliseconds period);
// The boundary itself.
std::chrono::system_clock::time_point NextBoundary(std::chrono::system_clock::time_point now,
                                                   std::chrono::milliseconds period);
