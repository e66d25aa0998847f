// Adds the daily reminder to the clock window: once a day, at start or at the day turn, today's
// topic as a desktop notification. The day last shown is kept in the state folder, not in the
// profile (a profile shared between machines would silence the others).
#include <chrono>
#include <string>

#include "clock/ClockDialog.h"
#include "core/JapaneseEras.h"
#include "core/Time.h"
#include "framework/Notification.h"
#include "profile/AtomicFile.h"
#include "profile/Backups.h"
#include "res/Resource.h"
#include "topics/TopicEntry.h"

namespace {

std::filesystem::path ReminderFile()
{
    return DefaultStateFolder() / "reminded";
}

// YYYY-MM-DD of the last day whose topic the notification service accepted; "" for none.
std::string LastRemindedDay()
{
    FileContent content;
    std::string reason;
    if (!ReadWholeFile(ReminderFile(), content, reason))
        return {};
    return content.bytes.substr(0, content.bytes.find('\n'));
}

void KeepRemindedDay(const std::string& day)
{
    FileStamp written;
    std::string reason;
    // Not worth a word to the user: at worst the reminder comes again at the next start.
    ReplaceFileAtomically(ReminderFile(), day + "\n", {}, written, reason);
}

} // namespace

void CClockDialog::NotifyToday()
{
    const CTime now = CTime::GetCurrentTime();
    const CString day = now.Format("%Y-%m-%d");
    CString topic;
    if (!PreferenceOn(IDM_NOTIFY) || day == m_remindedDay ||
        FindTopic(topic, now.GetYear(), now.GetMonth(), now.GetDay()) < 0 || TopicTitle(topic.view()).IsEmpty() ||
        LastRemindedDay() == day.str())
        return;
    m_remindedDay = day;
    const std::chrono::year_month_day date{std::chrono::year(now.GetYear()),
                                           std::chrono::month(static_cast<unsigned>(now.GetMonth())),
                                           std::chrono::day(static_cast<unsigned>(now.GetDay()))};
    const std::string summary = "今日のトピック " + jcal::FormatMonthDay(date);
    AfxShowNotification(
        this, summary.c_str(), topic, [day = day.str()] { KeepRemindedDay(day); },
        [this, year = now.GetYear(), month = now.GetMonth(), dayOfMonth = now.GetDay()] {
            ShowDate(year, month, dayOfMonth);
        });
}

void CClockDialog::ApplyNotify(bool on)
{
    // Turned on during the day: today's reminder, unless it was shown. At start the topics are
    // not read yet; the start asks once they are.
    if (on)
        NotifyToday();
}
