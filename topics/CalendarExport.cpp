// Builds the exported calendar with libical, after making each topic's text into something
// libical writes correctly.
#include "topics/CalendarExport.h"

#include "topics/TopicEntry.h"

#include <libical/ical.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string_view>
#include <tuple>
#include <utility>

namespace {

namespace chr = std::chrono;

constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

// libical 3.0 writes no year after 3000 (it turns the date into zeros), and the day after an
// event's date must be writable too as its DTEND. Range-checked before the chrono types see
// the numbers, which keep only the low byte of a month or day.
bool IsWritable(const DatedTopic& topic)
{
    if (topic.year < 1 || topic.year > 3000 || topic.month < 1 || topic.month > 12 ||
        topic.day < 1 || topic.day > 31)
        return false;
    const chr::year_month_day date{chr::year{topic.year},
                                   chr::month{static_cast<unsigned>(topic.month)},
                                   chr::day{static_cast<unsigned>(topic.day)}};
    return date.ok() && date != chr::year{3000} / chr::December / chr::day{31};
}

icaltimetype StampValue(chr::system_clock::time_point stamp)
{
    const auto seconds = chr::floor<chr::seconds>(stamp.time_since_epoch()).count();
    return icaltime_from_timet_with_zone(static_cast<std::time_t>(seconds), 0,
                                         icaltimezone_get_utc_timezone());
}

// Length of the well-formed UTF-8 sequence at text[i], or 0 when the bytes there are not one
// (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    return length;
}

// libical passes ill-formed UTF-8 and control characters through, which a TEXT value may not
// hold, and drops a lone CR. So: each CR LF, lone CR and lone LF becomes one LF (written as \n),
// ill-formed bytes become U+FFFD, and control characters other than tab are left out.
std::string CleanText(std::string_view text)
{
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            clean += '\n';
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
            ++i;
        } else if (const std::size_t length = SequenceLength(text, i); length == 0) {
            clean += kReplacementChar;
            ++i;
        } else {
            clean.append(text, i, length);
            i += length;
        }
    }
    return clean;
}

// Blank: spaces, tabs, line breaks and the ideographic space of Japanese input. A topic made
// only of these would import as an event without a title, so it is left out; one with any
// other character is exported.
bool IsBlank(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')
            ++i;
        else if (text.substr(i, kIdeographicSpace.size()) == kIdeographicSpace)
            i += kIdeographicSpace.size();
        else
            return false;
    }
    return true;
}

// The entry the date book shows for each writable date (the first in the list), by date.
std::vector<const DatedTopic*> ShownTopics(const std::vector<DatedTopic>& topics)
{
    std::vector<const DatedTopic*> shown;
    shown.reserve(topics.size());
    for (const DatedTopic& topic : topics)
        if (IsWritable(topic))
            shown.push_back(&topic);
    const auto date = [](const DatedTopic* t) { return std::tie(t->year, t->month, t->day); };
    std::stable_sort(shown.begin(), shown.end(),
                     [&](const DatedTopic* a, const DatedTopic* b) { return date(a) < date(b); });
    const auto sameDate = [&](const DatedTopic* a, const DatedTopic* b) {
        return date(a) == date(b);
    };
    shown.erase(std::unique(shown.begin(), shown.end(), sameDate), shown.end());
    return shown;
}

icaltimetype DateValue(const chr::year_month_day& date)
{
    icaltimetype value = icaltime_null_date();
    value.year = static_cast<int>(date.year());
    value.month = static_cast<int>(static_cast<unsigned>(date.month()));
    value.day = static_cast<int>(static_cast<unsigned>(date.day()));
    return value;
}

// A date's UID, "20261224@ombrelclock.invalid", put together by hand: snprintf showed in the
// export's profile.
std::string Uid(const DatedTopic& topic)
{
    std::string uid = "00000000@ombrelclock.invalid";
    const auto put = [&](int value, std::size_t end, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i, value /= 10)
            uid[end - 1 - i] = static_cast<char>('0' + value % 10);
    };
    put(topic.year, 4, 4);
    put(topic.month, 6, 2);
    put(topic.day, 8, 2);
    return uid;
}

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

void AppendText(std::string& out, icalcomponent* component)
{
    const std::unique_ptr<char, decltype(&icalmemory_free_buffer)> text{
        icalcomponent_as_ical_string_r(component), &icalmemory_free_buffer};
    if (text)
        out += text.get();
}

// One libical event reused for every topic, written out after its values are set: a new event
// per topic cost about 15% more, and a tree of all of them written at once twice as much (most
// of it page faults).
class EventWriter {
public:
    explicit EventWriter(icaltimetype stamp)
    {
        icalcomponent_add_property(m_event.get(), m_uid);
        icalcomponent_add_property(m_event.get(), icalproperty_new_dtstamp(stamp));
        icalcomponent_add_property(m_event.get(), m_start);
        icalcomponent_add_property(m_event.get(), m_end);
        icalcomponent_add_property(m_event.get(), m_summary);
        icalcomponent_add_property(m_event.get(), m_description);
    }

    void Append(std::string& out, const DatedTopic& topic, const std::string& text)
    {
        const chr::year_month_day date{chr::year{topic.year},
                                       chr::month{static_cast<unsigned>(topic.month)},
                                       chr::day{static_cast<unsigned>(topic.day)}};
        icalproperty_set_uid(m_uid, Uid(topic).c_str());
        // Set as DATE values: libical's own date setters take 0001-01-01 for its null time and
        // write it without VALUE=DATE, so that it no longer reads as a date.
        icalproperty_set_value(m_start, icalvalue_new_date(DateValue(date)));
        icalproperty_set_value(m_end,
                               icalvalue_new_date(DateValue(chr::sys_days{date} + chr::days{1})));
        icalproperty_set_summary(m_summary, TopicTitle(text).GetString()); // the first line with something on it
        icalproperty_set_description(m_description, text.c_str());
        AppendText(out, m_event.get());
    }

private:
    // The properties belong to the event once added, and are freed with it.
    Component m_event{icalcomponent_new_vevent(), &icalcomponent_free};
    icalproperty* m_uid = icalproperty_new(ICAL_UID_PROPERTY);
    icalproperty* m_start = icalproperty_new(ICAL_DTSTART_PROPERTY);
    icalproperty* m_end = icalproperty_new(ICAL_DTEND_PROPERTY);
    icalproperty* m_summary = icalproperty_new(ICAL_SUMMARY_PROPERTY);
    icalproperty* m_description = icalproperty_new(ICAL_DESCRIPTION_PROPERTY);
};

// Room for the events, so the text is not copied again each time it outgrows its buffer:
// about 200 octets of properties per event and the topic twice, as title and description.
std::size_t ExpectedSize(const std::vector<DatedTopic>& topics)
{
    std::size_t size = 0;
    for (const DatedTopic& topic : topics)
        size += 200 + 2 * topic.text.size();
    return size;
}

// The calendar's own lines as libical writes them, split where its events go.
std::pair<std::string, std::string> CalendarFrame()
{
    const Component calendar{icalcomponent_new_vcalendar(), &icalcomponent_free};
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//OmbrelClock//OmbrelClock 1.0//JA"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    std::string head;
    AppendText(head, calendar.get());
    const std::size_t end = head.rfind("END:VCALENDAR");
    std::string tail = head.substr(end);
    head.erase(end);
    return {std::move(head), std::move(tail)};
}

} // namespace

std::string ExportICalendar(const std::vector<DatedTopic>& topics,
                            std::chrono::system_clock::time_point stamp)
{
    auto [ics, tail] = CalendarFrame();
    const std::size_t headSize = ics.size();
    ics.reserve(headSize + ExpectedSize(topics) + tail.size());
    EventWriter writer{StampValue(stamp)};
    for (const DatedTopic* topic : ShownTopics(topics)) {
        const std::string text = CleanText(topic->text);
        if (!IsBlank(text))
            writer.Append(ics, *topic, text);
    }
    if (ics.size() == headSize)
        return {};
    ics += tail;
    return ics;
}
