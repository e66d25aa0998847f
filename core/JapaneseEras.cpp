// Japanese eras from 明治 (as counted in this calendar from 1873) to 令和, and their date texts.
#include "core/JapaneseEras.h"

#include "core/CalendarMonth.h"

namespace jcal {

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

struct Era {
    std::string_view name;
    year_month_day firstDay; // in this calendar
    int firstYear; // the Gregorian year of 元年
};

// 明治 began in 1868, but dates before the calendar reform of 1 January 1873 (明治6年) were
// lunisolar, which this calendar does not show.
constexpr Era kEras[] = {
    {"明治", 1873y / January / 1, 1868},
    {"大正", 1912y / July / 30, 1912},
    {"昭和", 1926y / December / 25, 1926},
    {"平成", 1989y / January / 8, 1989},
    {"令和", 2019y / May / 1, 2019},
};

calendar::Date toDate(year_month_day date)
{
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day()))};
}

} // namespace

std::optional<EraYear> EraOf(year_month_day date)
{
    if (!date.ok())
        return std::nullopt;
    for (auto era = std::rbegin(kEras); era != std::rend(kEras); ++era) {
        if (date >= era->firstDay)
            return EraYear{era->name, static_cast<int>(date.year()) - era->firstYear + 1};
    }
    return std::nullopt;
}

std::string FormatEraYear(const EraYear& eraYear)
{
    std::string text{eraYear.era};
    text += eraYear.year == 1 ? "元" : std::to_string(eraYear.year);
    text += "年";
    return text;
}

std::string FormatEraDate(year_month_day date)
{
    const std::optional<EraYear> era = EraOf(date);
    if (!era)
        return {};
    return FormatEraYear(*era) + std::to_string(static_cast<unsigned>(date.month())) + "月" +
           std::to_string(static_cast<unsigned>(date.day())) + "日";
}

std::string FormatEraMonth(year_month month)
{
    if (!month.ok())
        return {};
    const std::optional<EraYear> first = EraOf(month / 1);
    const std::optional<EraYear> last = EraOf(year_month_day{month / std::chrono::last});
    if (!last)
        return {};
    std::string text;
    if (first && first->era != last->era)
        text = FormatEraYear(*first) + "・";
    return text + FormatEraYear(*last) + std::to_string(static_cast<unsigned>(month.month())) + "月";
}

std::string_view WeekdayName(int dayOfWeek)
{
    static constexpr std::string_view kWeekdayNames[] = {"日", "月", "火", "水", "木", "金", "土"};
    return kWeekdayNames[((dayOfWeek % 7) + 7) % 7];
}

std::string FormatDateWithEra(year_month_day date)
{
    const calendar::Date d = toDate(date);
    std::string text = std::to_string(d.year) + "年" + std::to_string(d.month) + "月" + std::to_string(d.day) + "日(" +
                       std::string(WeekdayName(calendar::dayOfWeek(d))) + ")";
    if (const std::optional<EraYear> era = EraOf(date))
        text += " " + FormatEraYear(*era);
    return text;
}

std::string DescribeDate(year_month_day date)
{
    return FormatDateWithEra(date) + " 第" + std::to_string(calendar::isoWeek(toDate(date)).week) + "週";
}

std::string FormatMonthDay(year_month_day date)
{
    const calendar::Date d = toDate(date);
    return std::to_string(d.month) + "/" + std::to_string(d.day) + "(" + std::string(WeekdayName(calendar::dayOfWeek(d))) + ")";
}

} // namespace jcal
