#include "core/CalendarMonth.h"

#include <algorithm>

namespace calendar {

namespace {

// Floor division, so dates before the epoch and months before year 1 step the same way.
constexpr long long floorDiv(long long a, long long b)
{
    return (a >= 0 ? a : a - (b - 1)) / b;
}

} // namespace

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kLengths[month - 1];
}

int daysInMonth(YearMonth ym)
{
    return daysInMonth(ym.year, ym.month);
}

// Civil-date conversion over 400-year eras (146097 days each); the year is counted from March so
// the leap day falls at the end of it.
long long toDayNumber(const Date& date)
{
    const long long y = static_cast<long long>(date.year) - (date.month <= 2 ? 1 : 0);
    const long long era = floorDiv(y, 400);
    const long long yearOfEra = y - era * 400;
    const long long monthFromMarch = (date.month + 9) % 12;
    const long long dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date fromDayNumber(long long days)
{
    days += 719468;
    const long long era = floorDiv(days, 146097);
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    Date out;
    out.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    out.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    out.year = static_cast<int>(yearOfEra + era * 400 + (out.month <= 2 ? 1 : 0));
    return out;
}

int dayOfWeek(const Date& date)
{
    // 1970-01-01 was a Thursday.
    const long long n = toDayNumber(date) + 4;
    return static_cast<int>(n - floorDiv(n, 7) * 7);
}

Date addDays(const Date& date, long long days)
{
    return fromDayNumber(toDayNumber(date) + days);
}

YearMonth addMonths(YearMonth ym, int months)
{
    const long long index = static_cast<long long>(ym.year) * 12 + (ym.month - 1) + months;
    const long long year = floorDiv(index, 12);
    return {static_cast<int>(year), static_cast<int>(index - year * 12) + 1};
}

Date addMonthsClamped(const Date& date, int months)
{
    const YearMonth ym = addMonths(date.yearMonth(), months);
    return {ym.year, ym.month, std::min(date.day, daysInMonth(ym))};
}

int leadingDays(YearMonth ym)
{
    const int first = dayOfWeek({ym.year, ym.month, 1});
    return first == 0 ? kWeekdays : first;
}

std::array<Date, kGridCells> monthGrid(YearMonth ym)
{
    std::array<Date, kGridCells> cells;
    const long long start = toDayNumber({ym.year, ym.month, 1}) - leadingDays(ym);
    for (int i = 0; i < kGridCells; ++i)
        cells[static_cast<std::size_t>(i)] = fromDayNumber(start + i);
    return cells;
}

int gridIndex(YearMonth ym, const Date& date)
{
    const long long start = toDayNumber({ym.year, ym.month, 1}) - leadingDays(ym);
    const long long offset = toDayNumber(date) - start;
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

Date fromSystemTime(const SYSTEMTIME& st)
{
    return {st.wYear, st.wMonth, st.wDay};
}

} // namespace calendar
