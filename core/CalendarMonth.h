// Date arithmetic behind the month calendar: the 6x7 grid of a month, day and month steps.
// Plain C++ over <chrono>'s proleptic Gregorian calendar, no time zones.
#pragma once

#include <array>
#include <compare>

#include "core/WinTypes.h"

namespace calendar {

struct YearMonth {
    int year = 1970;
    int month = 1; // 1-12
    friend auto operator<=>(const YearMonth&, const YearMonth&) = default;
};

struct Date {
    int year = 1970;
    int month = 1; // 1-12
    int day = 1; // 1-31
    YearMonth yearMonth() const { return {year, month}; }
    friend auto operator<=>(const Date&, const Date&) = default;
};

inline constexpr int kWeekRows = 6;
inline constexpr int kWeekdays = 7;
inline constexpr int kGridCells = kWeekRows * kWeekdays;

int daysInMonth(YearMonth ym);
// 0 = Sunday ... 6 = Saturday.
int dayOfWeek(const Date& date);

Date addDays(const Date& date, int days);
// Months carry into years both ways (month 0 is December of the year before).
YearMonth addMonths(YearMonth ym, int months);
// The same day number `months` months away, clamped to that month's length (31 Jan + 1 -> 28/29 Feb).
Date addMonthsClamped(const Date& date, int months);

// Six weeks, row by row, each starting on `firstWeekday` (0 = Sunday, 1 = Monday). The first row
// always starts in the previous month (a whole week of it when the month starts on the first
// weekday), so both neighbouring months show.
std::array<Date, kGridCells> monthGrid(YearMonth ym, int firstWeekday = 0);
// Index of `date` in the grid of `ym`, or -1 when the grid does not show it.
int gridIndex(YearMonth ym, const Date& date, int firstWeekday = 0);

SYSTEMTIME toSystemTime(const Date& date); // weekday filled in, time of day zero

// The ISO 8601 week: weeks start on Monday, and week 1 is the one holding the year's first
// Thursday, so the first days of January may fall in the last week of the year before.
struct IsoWeek {
    int year;
    int week; // 1-53
    friend bool operator==(const IsoWeek&, const IsoWeek&) = default;
};
IsoWeek isoWeek(const Date& date);

} // namespace calendar
