// Finding the dates whose topic holds a text, ignoring case and full-width/half-width
// differences: a folded copy of the topics, made once, that each query is looked up in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/CalendarMonth.h"
#include "core/String.h"

class TopicIndex;

class TopicSearch {
public:
    // Copies what the calendar shows: of each date that exists, the first entry (the one
    // `index` finds), when it has text. Folding the texts is the costly part, done here once.
    void Build(const CStringArray& entries, const TopicIndex& index);
    // The dates whose text holds `query` (any line break in it matching the topic's CR LF), as
    // indexes of Date() and Line(), latest date first. None for an empty query.
    std::vector<int> Find(std::string_view query) const;
    int GetSize() const { return static_cast<int>(m_dates.size()); }
    calendar::Date Date(int i) const { return m_dates[static_cast<std::size_t>(i)]; }
    // "2026/12/24(木) 忘年会": the date and the topic's first line that holds more than blanks.
    const std::string& Line(int i) const { return m_lines[static_cast<std::size_t>(i)]; }

private:
    std::u16string m_folded; // every text folded, latest date first, each ended by a NUL
    std::vector<std::size_t> m_ends; // where each text's NUL is
    std::vector<calendar::Date> m_dates;
    std::vector<std::string> m_lines;
};
