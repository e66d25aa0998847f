// Adds to the clock window what the calendar shows over a day: the date with its weekday, era and
// week, the holiday's name, and the first lines of the day's topic (the caption's tooltip tells
// today the same way).
#include <chrono>
#include <string>

#include "clock/ClockDialog.h"
#include "core/JapaneseEras.h"
#include "core/JapaneseHolidays.h"
#include "topics/TopicEntry.h"

namespace {

constexpr int kTopicLines = 3;

// At most `lines` lines of `text` (line breaks of any kind), "…" standing for the rest.
std::string FirstLines(const CString& text, int lines)
{
    const std::string all = NormalizeLineBreaks(text.view()).str();
    std::string out;
    std::size_t start = 0;
    for (int i = 0; i < lines && start <= all.size(); ++i) {
        const std::size_t end = std::min(all.find("\r\n", start), all.size());
        out += (i ? "\n" : "") + all.substr(start, end - start);
        start = end + 2;
    }
    return start < all.size() ? out + "…" : out;
}

// `text` cut to fit `size` bytes with its NUL, at a character boundary.
void CopyText(const std::string& text, char* out, int size)
{
    if (!out || size <= 0)
        return;
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n; // not in the middle of a UTF-8 sequence
    text.copy(out, n);
    out[n] = '\0';
}

} // namespace

std::string CClockDialog::DescribeDay(int year, int month, int day, bool week)
{
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    std::string text = week ? jcal::DescribeDate(date) : jcal::FormatDateWithEra(date);
    if (const auto holiday = jcal::HolidayOn(date)) {
        text += "\n" + std::string(holiday->name);
        if (holiday->projected)
            text += "(予想)"; // the equinox days of years not yet announced may still move
    }
    CString topic;
    if (FindTopic(topic, year, month, day) >= 0 && !topic.IsEmpty())
        text += "\n" + FirstLines(topic, kTopicLines);
    return text;
}

void CClockDialog::OnGetDayText(NMHDR* pNotifyStruct, LRESULT* pResult)
{
    auto* request = reinterpret_cast<NMDAYTEXT*>(pNotifyStruct);
    const SYSTEMTIME& day = request->stDay;
    CopyText(DescribeDay(day.wYear, day.wMonth, day.wDay, true), request->pszText, request->cchTextMax);
    *pResult = 0;
}
