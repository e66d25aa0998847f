// Date arithmetic behind the month calendar: month lengths, weekdays, the 6x7 grid of a month
// and month stepping. Plain C++ on the proleptic Gregorian calendar, no time zones.
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

bool isLeapYear(int year);
int daysInMonth(int year, int month);
int daysInMonth(YearMonth ym);
// Days since 1970-01-01 (negative before), and back.
long long toDayNumber(const Date& date);
Date fromDayNumber(long long days);
// 0 = Sunday ... 6 = Saturday.
int dayOfWeek(const Date& date);

Date addDays(const Date& date, long long days);
YearMonth addMonths(YearMonth ym, int months);
// The same day number `months` months away, clamped to that month's length (31 Jan + 1 -> 28/29 Feb).
Date addMonthsClamped(const Date& date, int months);

// Days of the previous month at the head of the grid: 1-7, a whole week when the month starts on
// Sunday, so the grid always shows part of the months on both sides.
int leadingDays(YearMonth ym);
// Six weeks, Sunday first, row by row; cell 0 lies in the previous month.
std::array<Date, kGridCells> monthGrid(YearMonth ym);
// Index of `date` in the grid of `ym`, or -1 when the grid does not show it.
int gridIndex(YearMonth ym, const Date& date);

SYSTEMTIME toSystemTime(const Date& date); // weekday filled in, time of day zero
Date fromSystemTime(const SYSTEMTIME& st);

} // namespace calendar
