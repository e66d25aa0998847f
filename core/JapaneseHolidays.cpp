// Japan's national holidays: the law's rules as one table, the rest days the law derives from
// them (substitute and in-between holidays), and the per-thread year cache behind HolidayOn.
#include "core/JapaneseHolidays.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace jcal {

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

enum class Kind {
    Fixed, // month/day every year
    NthMonday, // `day` holds which Monday of the month
    VernalEquinox,
    AutumnalEquinox,
    OneOff, // a single day made a holiday by its own law (firstYear == lastYear)
    Moved, // a named holiday moved for one year; replaces that name's usual day in that year
};

struct Rule {
    std::string_view name;
    Kind kind;
    int firstYear;
    int lastYear;
    unsigned month = 0;
    unsigned day = 0;
};

constexpr int kOpen = kLastHolidayYear;

// One row per rule, so an amendment of the law is one row. The law came into force on
// 20 July 1948, so only the days after that (秋分の日, 文化の日, 勤労感謝の日) start in 1948.
constexpr Rule kRules[] = {
    {"元日", Kind::Fixed, 1949, kOpen, 1, 1},
    {"成人の日", Kind::Fixed, 1949, 1999, 1, 15},
    {"成人の日", Kind::NthMonday, 2000, kOpen, 1, 2},
    {"建国記念の日", Kind::Fixed, 1967, kOpen, 2, 11},
    {"天皇誕生日", Kind::Fixed, 2020, kOpen, 2, 23},
    {"春分の日", Kind::VernalEquinox, 1949, kOpen},
    {"天皇誕生日", Kind::Fixed, 1949, 1988, 4, 29},
    {"みどりの日", Kind::Fixed, 1989, 2006, 4, 29},
    {"昭和の日", Kind::Fixed, 2007, kOpen, 4, 29},
    {"憲法記念日", Kind::Fixed, 1949, kOpen, 5, 3},
    {"みどりの日", Kind::Fixed, 2007, kOpen, 5, 4},
    {"こどもの日", Kind::Fixed, 1949, kOpen, 5, 5},
    {"海の日", Kind::Fixed, 1996, 2002, 7, 20},
    {"海の日", Kind::NthMonday, 2003, kOpen, 7, 3},
    {"山の日", Kind::Fixed, 2016, kOpen, 8, 11},
    {"敬老の日", Kind::Fixed, 1966, 2002, 9, 15},
    {"敬老の日", Kind::NthMonday, 2003, kOpen, 9, 3},
    {"秋分の日", Kind::AutumnalEquinox, 1948, kOpen},
    {"体育の日", Kind::Fixed, 1966, 1999, 10, 10},
    {"体育の日", Kind::NthMonday, 2000, 2019, 10, 2},
    {"スポーツの日", Kind::NthMonday, 2020, kOpen, 10, 2},
    {"文化の日", Kind::Fixed, 1948, kOpen, 11, 3},
    {"勤労感謝の日", Kind::Fixed, 1948, kOpen, 11, 23},
    {"天皇誕生日", Kind::Fixed, 1989, 2018, 12, 23},
    // One-off days count as holidays for the derived days: the 2019 law made its two days national
    // holidays, which gave 30 April and 2 May as in-between days; the earlier ones change nothing.
    {"結婚の儀", Kind::OneOff, 1959, 1959, 4, 10},
    {"大喪の礼", Kind::OneOff, 1989, 1989, 2, 24},
    {"即位礼正殿の儀", Kind::OneOff, 1990, 1990, 11, 12},
    {"結婚の儀", Kind::OneOff, 1993, 1993, 6, 9},
    {"天皇の即位の日", Kind::OneOff, 2019, 2019, 5, 1},
    {"即位礼正殿の儀", Kind::OneOff, 2019, 2019, 10, 22},
    // The Olympic Games' years.
    {"海の日", Kind::Moved, 2020, 2020, 7, 23},
    {"スポーツの日", Kind::Moved, 2020, 2020, 7, 24},
    {"山の日", Kind::Moved, 2020, 2020, 8, 10},
    {"海の日", Kind::Moved, 2021, 2021, 7, 22},
    {"スポーツの日", Kind::Moved, 2021, 2021, 7, 23},
    {"山の日", Kind::Moved, 2021, 2021, 8, 8},
};

constexpr std::string_view kSubstituteName = "振替休日";
constexpr std::string_view kInBetweenName = "国民の休日";

// A holiday on a Sunday gives a substitute from the 1973 amendment's effective day; until 2006
// that was the Monday after unless it was a holiday itself, from 2007 the first following day that
// is not a holiday. No Sunday holiday of 1973-2006 was followed by another, so the older wording
// gives the same days as the newer; it is kept as the law read.
constexpr sys_days kSubstituteStart{1973y / April / 12};
constexpr sys_days kLaw2007{2007y / January / 1};
// A non-holiday between two holidays rests from the amendment's effective day, 27 December 1985.
// No such day followed in 1985, so in practice the rule starts in 1986 (1985-05-04 stays a working
// Saturday); its first day was 1988-05-04. Until 2006 a Sunday between two holidays stayed a Sunday.
constexpr sys_days kInBetweenStart{1985y / December / 27};

struct EquinoxFormula {
    int firstYear;
    int lastYear;
    double vernal; // day of March in 1980, before the leap-year term
    double autumnal; // day of September in 1980
};

// The usual approximation of the equinox days in Japan Standard Time. Its 1900-1979 form is often
// printed with int((Y-1983)/4), meant as truncation toward zero: for those years that equals
// floor((Y-1980)/4), the term used here for both ranges (read as a floor it would, for example,
// put 1957's vernal equinox on 22 March instead of 21).
constexpr EquinoxFormula kEquinoxFormulas[] = {
    {1900, 1979, 20.8357, 23.2588},
    {1980, 2099, 20.8431, 23.2488},
};
constexpr double kTropicalYearExcess = 0.242194; // days a tropical year exceeds 365

unsigned EquinoxDay(int year, bool vernal)
{
    for (const EquinoxFormula& f : kEquinoxFormulas) {
        if (year < f.firstYear || year > f.lastYear)
            continue;
        const int n = year - 1980;
        const double leapDays = std::floor(n / 4.0);
        const double day1980 = vernal ? f.vernal : f.autumnal;
        return static_cast<unsigned>(std::floor(day1980 + kTropicalYearExcess * n - leapDays));
    }
    return 0;
}

year_month_day RuleDate(const Rule& rule, int y)
{
    const year yy{y};
    switch (rule.kind) {
    case Kind::NthMonday:
        return year_month_day{sys_days{yy / month{rule.month} / Monday[rule.day]}};
    case Kind::VernalEquinox:
        return yy / March / day{EquinoxDay(y, true)};
    case Kind::AutumnalEquinox:
        return yy / September / day{EquinoxDay(y, false)};
    default:
        return yy / month{rule.month} / day{rule.day};
    }
}

// Whether the holiday `name` (any holiday, when empty) was moved away from its usual day in year y.
bool MovedInYear(std::string_view name, int y)
{
    return std::ranges::any_of(kRules, [&](const Rule& r) {
        return r.kind == Kind::Moved && r.firstYear == y && (name.empty() || r.name == name);
    });
}

bool ByDate(const Holiday& a, const Holiday& b)
{
    return sys_days{a.date} < sys_days{b.date};
}

// The holidays the table names for the year, in date order.
std::vector<Holiday> NamedHolidays(int y)
{
    std::vector<Holiday> named;
    const bool anyMoved = MovedInYear({}, y);
    for (const Rule& rule : kRules) {
        if (y < rule.firstYear || y > rule.lastYear)
            continue;
        if (anyMoved && rule.kind != Kind::Moved && MovedInYear(rule.name, y))
            continue;
        named.push_back({RuleDate(rule, y), rule.name, false});
    }
    std::ranges::sort(named, ByDate);
    return named;
}

bool IsNamed(const std::vector<Holiday>& named, sys_days d)
{
    return std::ranges::any_of(named, [d](const Holiday& h) { return sys_days{h.date} == d; });
}

std::vector<sys_days> Substitutes(const std::vector<Holiday>& named)
{
    std::vector<sys_days> result;
    for (const Holiday& h : named) {
        const sys_days d{h.date};
        if (d < kSubstituteStart || weekday{d} != Sunday)
            continue;
        sys_days next = d + days{1};
        if (d < kLaw2007) {
            if (!IsNamed(named, next))
                result.push_back(next);
            continue;
        }
        while (IsNamed(named, next))
            next += days{1};
        result.push_back(next);
    }
    return result;
}

std::vector<sys_days> InBetweenDays(const std::vector<Holiday>& named,
                                    const std::vector<sys_days>& substitutes)
{
    std::vector<sys_days> result;
    for (std::size_t i = 1; i < named.size(); ++i) {
        const sys_days before{named[i - 1].date};
        if (sys_days{named[i].date} - before != days{2})
            continue;
        const sys_days d = before + days{1};
        if (d < kInBetweenStart || (d < kLaw2007 && weekday{d} == Sunday))
            continue;
        // A day both rules would make is the substitute holiday.
        if (std::ranges::find(substitutes, d) == substitutes.end())
            result.push_back(d);
    }
    return result;
}

std::vector<Holiday> ComputeYear(int y)
{
    if (y < kFirstHolidayYear || y > kLastHolidayYear)
        return {};
    std::vector<Holiday> all = NamedHolidays(y);
    const std::vector<sys_days> substitutes = Substitutes(all);
    const std::vector<sys_days> inBetween = InBetweenDays(all, substitutes);
    for (sys_days d : substitutes)
        all.push_back({year_month_day{d}, kSubstituteName, false});
    for (sys_days d : inBetween)
        all.push_back({year_month_day{d}, kInBetweenName, false});
    // Neither rule reaches across New Year, but keep the year's list to its own year regardless.
    std::erase_if(all, [y](const Holiday& h) { return h.date.year() != year{y}; });
    std::ranges::sort(all, ByDate);
    for (Holiday& h : all)
        h.projected = y > kLastAnnouncedYear;
    return all;
}

struct CachedYear {
    int year = 0; // 0: slot unused
    std::vector<Holiday> holidays;
    std::array<std::uint8_t, 366> slotOfDay{}; // 1 + index into holidays by day of year, 0: none
};

// Direct-mapped by year: a month grid spans at most two consecutive years, which never share a slot.
constexpr int kCachedYears = 4;

int DayOfYear(const year_month_day& date)
{
    return (sys_days{date} - sys_days{date.year() / January / 1}).count();
}

const CachedYear& CachedYearOf(int y)
{
    thread_local std::array<CachedYear, kCachedYears> cache;
    CachedYear& slot = cache[static_cast<std::size_t>(y % kCachedYears)];
    if (slot.year != y) {
        slot.year = y;
        slot.holidays = ComputeYear(y);
        slot.slotOfDay.fill(0);
        for (std::size_t i = 0; i < slot.holidays.size(); ++i)
            slot.slotOfDay[static_cast<std::size_t>(DayOfYear(slot.holidays[i].date))] =
                static_cast<std::uint8_t>(i + 1);
    }
    return slot;
}

void AppendLine(std::string& out, const Holiday& h)
{
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(h.date.year()),
                  static_cast<unsigned>(h.date.month()), static_cast<unsigned>(h.date.day()));
    out += date;
    out += '\t';
    out += h.name;
    if (h.projected)
        out += "\tprojected";
    out += '\n';
}

} // namespace

std::vector<Holiday> HolidaysOfYear(int year)
{
    return ComputeYear(year);
}

std::optional<Holiday> HolidayOn(year_month_day date)
{
    const int y = static_cast<int>(date.year());
    if (!date.ok() || y < kFirstHolidayYear || y > kLastHolidayYear)
        return std::nullopt;
    const CachedYear& entry = CachedYearOf(y);
    const std::uint8_t slot = entry.slotOfDay[static_cast<std::size_t>(DayOfYear(date))];
    if (slot == 0)
        return std::nullopt;
    return entry.holidays[slot - 1u];
}

std::string HolidayListing(int fromYear, int toYear)
{
    std::string out;
    for (int y = std::max(fromYear, kFirstHolidayYear); y <= std::min(toYear, kLastHolidayYear); ++y) {
        for (const Holiday& h : ComputeYear(y))
            AppendLine(out, h);
    }
    return out;
}

} // namespace jcal
