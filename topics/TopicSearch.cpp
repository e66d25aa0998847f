// The search's folded copy of the topics and the lookup of a query in it.
#include "topics/TopicSearch.h"

#include <algorithm>
#include <charconv>

#include "core/JapaneseEras.h"
#include "framework/Text.h"
#include "topics/TopicEntry.h"
#include "topics/TopicIndex.h"

namespace {

struct Found {
    calendar::Date date;
    std::string_view text; // in the entry
};

bool Exists(const calendar::Date& d)
{
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= calendar::daysInMonth(d.yearMonth());
}

void AppendNumber(std::string& out, int value, int digits)
{
    char buffer[8];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, digits - (end - buffer))), '0');
    out.append(buffer, end);
}

// "2026/12/24(木) " and the first line that holds more than blanks.
std::string ListLine(const Found& topic)
{
    std::string line;
    AppendNumber(line, topic.date.year, 4);
    AppendNumber(line += '/', topic.date.month, 2);
    AppendNumber(line += '/', topic.date.day, 2);
    ((line += '(') += jcal::WeekdayName(calendar::dayOfWeek(topic.date))) += ") ";
    return line += TopicTitle(topic.text).str();
}

} // namespace

void TopicSearch::Build(const CStringArray& entries, const TopicIndex& index)
{
    std::vector<Found> found;
    std::size_t bytes = 0;
    for (int i = 0; i < entries.GetSize(); ++i) {
        const std::string_view entry = entries[i].view();
        const auto header = ParseTopicHeader(entry);
        if (!header || static_cast<std::size_t>(header->length) >= entry.size() ||
            !Exists({header->year, header->month, header->day}) || index.Find(header->year, header->month, header->day) != i)
            continue;
        found.push_back({{header->year, header->month, header->day}, entry.substr(static_cast<std::size_t>(header->length))});
        bytes += found.back().text.size() + 1;
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.date > b.date; });

    // One call folds them all: a hundred thousand calls into the toolkit would cost more.
    std::string joined;
    joined.reserve(bytes);
    for (const Found& topic : found) {
        for (const char c : topic.text)
            if (c != '\0') // a NUL ends a text here
                joined += c;
        joined += '\0';
    }
    m_folded = AfxFoldText(joined);
    m_ends.clear();
    for (std::size_t at = m_folded.find(u'\0'); at != std::u16string::npos; at = m_folded.find(u'\0', at + 1))
        m_ends.push_back(at);
    m_dates.clear();
    m_lines.clear();
    for (const Found& topic : found) {
        m_dates.push_back(topic.date);
        m_lines.push_back(ListLine(topic));
    }
    if (m_ends.size() != found.size()) { // folding keeps every NUL; should it not, match nothing
        m_folded.clear();
        m_ends.assign(found.size(), 0);
    }
}

std::vector<int> TopicSearch::Find(std::string_view query) const
{
    std::u16string folded = AfxFoldText(NormalizeLineBreaks(query).view());
    std::erase(folded, u'\0'); // a match then never runs past its text's end
    std::vector<int> hits;
    if (folded.empty() || m_folded.empty())
        return hits;
    const std::u16string_view all = m_folded;
    for (std::size_t at = all.find(folded); at != std::u16string_view::npos;) {
        const auto text = std::upper_bound(m_ends.begin(), m_ends.end(), at);
        hits.push_back(static_cast<int>(text - m_ends.begin()));
        at = all.find(folded, *text + 1);
    }
    return hits;
}
