// Japanese era names and years (明治 from 1873, when Japan took up this calendar, to 令和) and the
// era-style date texts the calendar shows. Text is UTF-8.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace jcal {

struct EraYear {
    std::string_view era; // "令和"; static storage
    int year; // 1 is written 元年
    friend bool operator==(const EraYear&, const EraYear&) = default;
};

// None before 1873-01-01. The day an era ends and the next begins counts in the new era.
std::optional<EraYear> EraOf(std::chrono::year_month_day date);
// "令和8年", "令和元年".
std::string FormatEraYear(const EraYear& eraYear);
// "令和元年5月1日"; "" before 1873.
std::string FormatEraDate(std::chrono::year_month_day date);
// "令和8年12月"; a month two eras share names both, "昭和64年・平成元年1月"; "" before 1873.
std::string FormatEraMonth(std::chrono::year_month month);
// The weekday's one-character name, 日 (0, Sunday) to 土 (6), from a table whatever the locale.
std::string_view WeekdayName(int dayOfWeek);
// The date with its weekday and era year: "2026年12月7日(月) 令和8年" (no era before 1873).
std::string FormatDateWithEra(std::chrono::year_month_day date);
// What a date is, on one line: "2026年5月6日(水) 令和8年 第19週" (with the ISO week).
std::string DescribeDate(std::chrono::year_month_day date);
// A date near today, short: "12/10(木)".
std::string FormatMonthDay(std::chrono::year_month_day date);

} // namespace jcal
