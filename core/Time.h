// CTime: a point in time with local-time fields and strftime formatting in the C locale.
// The current time comes from a replaceable clock so tests can pin "now".
#pragma once

#include <chrono>
#include <ctime>
#include <functional>

#include "core/String.h"

class CTime {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    CTime() = default;
    explicit CTime(std::time_t t) : m_time(t) {}
    // Local date and time; out-of-range fields normalise as mktime does.
    CTime(int year, int month, int day, int hour, int minute, int second);

    static CTime GetCurrentTime();
    // The clock behind GetCurrentTime(); an empty function restores the system clock.
    // Returns the clock it replaces.
    static Clock SetClock(Clock clock);
    // Now, to the millisecond, from the same clock (the minute timer aligns with it).
    static std::chrono::system_clock::time_point Now();

    // strftime patterns, always with the C locale's names (Sun, Mon, ...).
    CString Format(const char* pattern) const;
    // Local-time fields, as the C library's struct tm holds them.
    std::tm GetLocalTm() const;
    int GetYear() const { return GetLocalTm().tm_year + 1900; }
    int GetMonth() const { return GetLocalTm().tm_mon + 1; }
    int GetDay() const { return GetLocalTm().tm_mday; }
    std::time_t GetTime() const { return m_time; }

private:
    std::time_t m_time = 0;
};

// Puts a fixed clock in place for the life of the object (tests).
class ScopedClock {
public:
    explicit ScopedClock(CTime::Clock clock) : m_previous(CTime::SetClock(std::move(clock))) {}
    ~ScopedClock() { CTime::SetClock(std::move(m_previous)); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    CTime::Clock m_previous;
};
