#include "core/CalendarMonth.h"

#include <algorithm>
#include <chrono>

namespace calendar {

namespace {

using namespace std::chrono;

sys_days toDays(const Date& date)
{
    return sys_days(year{date.year} / month{static_cast<unsigned>(date.month)} / day{static_cast<unsigned>(date.day)});
}

Date fromDays(sys_days days)
{
    const year_month_day ymd(days);
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

// The grid's first cell: 1-7 days before the 1st, a whole week when the month starts on the
// first weekday.
sys_days gridStart(YearMonth ym, int firstWeekday)
{
    const sys_days first = toDays({ym.year, ym.month, 1});
    const int weekday = static_cast<int>(year_month_weekday(first).weekday().c_encoding());
    const int back = ((weekday - firstWeekday) % kWeekdays + kWeekdays) % kWeekdays;
    return first - days(back == 0 ? kWeekdays : back);
}

} // namespace

int daysInMonth(YearMonth ym)
{
    const year_month_day_last last(year{ym.year}, month_day_last(month{static_cast<unsigned>(ym.month)}));
    return last.ok() ? static_cast<int>(static_cast<unsigned>(last.day())) : 0;
}

int dayOfWeek(const Date& date)
{
    return static_cast<int>(weekday(toDays(date)).c_encoding());
}

Date addDays(const Date& date, int count)
{
    return fromDays(toDays(date) + days(count));
}

YearMonth addMonths(YearMonth ym, int count)
{
    // year_month adds across year ends; a month outside 1-12 is first brought into range.
    const year_month moved = year_month(year{ym.year}, month{1}) + months(ym.month - 1 + count);
    return {static_cast<int>(moved.year()), static_cast<int>(static_cast<unsigned>(moved.month()))};
}

Date addMonthsClamped(const Date& date, int months)
{
    const YearMonth ym = addMonths(date.yearMonth(), months);
    return {ym.year, ym.month, std::min(date.day, daysInMonth(ym))};
}

std::array<Date, kGridCells> monthGrid(YearMonth ym, int firstWeekday)
{
    std::array<Date, kGridCells> cells;
    const sys_days start = gridStart(ym, firstWeekday);
    for (int i = 0; i < kGridCells; ++i)
        cells[static_cast<std::size_t>(i)] = fromDays(start + days(i));
    return cells;
}

int gridIndex(YearMonth ym, const Date& date, int firstWeekday)
{
    const long long offset = (toDays(date) - gridStart(ym, firstWeekday)).count();
    return offset >= 0 && offset < kGridCells ? static_cast<int>(offset) : -1;
}

SYSTEMTIME toSystemTime(const Date& date)
{
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
    st.wDayOfWeek = static_cast<WORD>(dayOfWeek(date));
    return st;
}

IsoWeek isoWeek(const Date& date)
{
    // The Thursday of the date's week decides the year; the week is counted from that year's
    // first Thursday.
    const int fromMonday = (dayOfWeek(date) + 6) % kWeekdays;
    const Date thursday = addDays(date, 3 - fromMonday);
    int dayOfYear = thursday.day;
    for (int month = 1; month < thursday.month; ++month)
        dayOfYear += daysInMonth({thursday.year, month});
    return {thursday.year, (dayOfYear - 1) / kWeekdays + 1};
}

} // namespace calendar
