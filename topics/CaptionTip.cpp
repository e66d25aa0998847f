// Adds the day at a glance to the clock window: the caption's tooltip tells today's date, era,
// holiday and topic, and the next topic of the coming week; and what the day turn brings.
#include <chrono>

#include "clock/ClockDialog.h"
#include "core/CalendarMonth.h"
#include "core/JapaneseEras.h"
#include "core/Time.h"
#include "topics/TopicEntry.h"

namespace {

constexpr int kDaysAhead = 7;

calendar::Date Today()
{
    const CTime now = CTime::GetCurrentTime();
    return {now.GetYear(), now.GetMonth(), now.GetDay()};
}

} // namespace

CString CClockDialog::CaptionTip()
{
    const calendar::Date today = Today();
    std::string text = DescribeDay(today.year, today.month, today.day, false);
    for (int ahead = 1; ahead <= kDaysAhead; ++ahead) {
        const calendar::Date d = calendar::addDays(today, ahead);
        CString topic;
        if (FindTopic(topic, d.year, d.month, d.day) < 0)
            continue;
        const CString title = TopicTitle(topic.view());
        if (title.IsEmpty())
            continue;
        const std::chrono::year_month_day date{std::chrono::year(d.year), std::chrono::month(static_cast<unsigned>(d.month)),
                                               std::chrono::day(static_cast<unsigned>(d.day))};
        text += "\n" + jcal::FormatMonthDay(date) + " " + title.str();
        break;
    }
    return CString(std::move(text));
}

void CClockDialog::UpdateCaptionTip(int year, int month, int day)
{
    const calendar::Date today = Today();
    const calendar::Date changed{year, month, day};
    if (year == 0 || (changed >= today && changed <= calendar::addDays(today, kDaysAhead)))
        SetCaptionTip(CaptionTip());
}

void CClockDialog::OnDayTurn()
{
    // The title has its own tick as the minute turns.
    UpdateCaptionTip();
    NotifyToday();
}
