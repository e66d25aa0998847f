// Date -> first topic entry with that date, kept in step with the topic list
// so the calendar can look a day up without scanning every entry.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/String.h"

class TopicIndex {
public:
    // After the whole list was loaded or replaced.
    void Rebuild(const CStringArray& list);
    // After list[index] was set (index < size) or appended (index == size).
    void Stored(int index, std::string_view entry);
    // The first entry in list order whose header reads as this date; -1 if none.
    int Find(int year, int month, int day) const;
    void Clear();

private:
    struct Date {
        int year;
        int month;
        int day;
        friend bool operator==(const Date&, const Date&) = default;
    };
    struct DateHash {
        std::size_t operator()(const Date& d) const noexcept;
    };

    void Remove(int index);

    // Entries per date, ascending, so replacing the first one reveals the next.
    std::unordered_map<Date, std::vector<int>, DateHash> m_byDate;
    // The date each list slot was indexed under, to undo it when the slot is replaced.
    std::vector<std::optional<Date>> m_slots;
};
