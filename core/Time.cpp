#include "core/Time.h"

#include <clocale>
#include <locale.h>
#include <utility>

namespace {

CTime::Clock& currentClock()
{
    // The one process-wide setting of the core: which clock "now" reads.
    static CTime::Clock clock;
    return clock;
}

#if defined(_WIN32)
using CLocaleHandle = _locale_t;
CLocaleHandle cLocale()
{
    static const CLocaleHandle handle = _create_locale(LC_ALL, "C");
    return handle;
}
std::size_t formatInC(char* out, std::size_t size, const char* pattern, const std::tm* tm)
{
    return _strftime_l(out, size, pattern, tm, cLocale());
}
#else
locale_t cLocale()
{
    static const locale_t handle = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return handle;
}
std::size_t formatInC(char* out, std::size_t size, const char* pattern, const std::tm* tm)
{
    return strftime_l(out, size, pattern, tm, cLocale());
}
#endif

} // namespace

CTime::CTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    m_time = std::mktime(&tm);
}

CTime::Clock CTime::SetClock(Clock clock)
{
    return std::exchange(currentClock(), std::move(clock));
}

std::chrono::system_clock::time_point CTime::Now()
{
    const Clock& clock = currentClock();
    return clock ? clock() : std::chrono::system_clock::now();
}

CTime CTime::GetCurrentTime()
{
    return CTime(std::chrono::system_clock::to_time_t(Now()));
}

std::tm CTime::GetLocalTm() const
{
    std::tm tm{};
#if defined(_WIN32)
    localtime_s(&tm, &m_time);
#else
    localtime_r(&m_time, &tm);
#endif
    return tm;
}

CString CTime::Format(const char* pattern) const
{
    const std::tm tm = GetLocalTm();
    std::string out(64, '\0');
    for (;;) {
        const std::size_t n = formatInC(out.data(), out.size(), pattern, &tm);
        // strftime reports 0 both for "too small" and for an empty result.
        if (n > 0 || out.size() > 4096) {
            out.resize(n);
            return CString(std::move(out));
        }
        out.resize(out.size() * 4);
    }
}
