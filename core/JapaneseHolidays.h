// Japan's national holidays from the holiday law's start (20 July 1948) to 2099, computed offline
// from the law's rules; the dates of years not yet officially announced are marked projected.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jcal {

struct Holiday {
    std::chrono::year_month_day date;
    std::string_view name; // UTF-8, static storage: safe to keep
    bool projected; // a year after kLastAnnouncedYear, whose equinox days may still move
    friend bool operator==(const Holiday&, const Holiday&) = default;
};

// The government announces the next year's equinox days each February; 2027's came in 2026.
inline constexpr int kLastAnnouncedYear = 2027;
inline constexpr int kFirstHolidayYear = 1948;
inline constexpr int kLastHolidayYear = 2099;

// Computed from scratch on every call (a few microseconds); in date order, empty outside
// kFirstHolidayYear..kLastHolidayYear.
std::vector<Holiday> HolidaysOfYear(int year);
// Served from a small cache of recent years, one per thread, for painting calendars.
std::optional<Holiday> HolidayOn(std::chrono::year_month_day date);
// One line a holiday, "2026-05-06\t振替休日\n", with "\tprojected" before the newline when projected.
std::string HolidayListing(int fromYear, int toYear);

} // namespace jcal
