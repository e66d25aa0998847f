// Date -> first topic entry with that date, kept in step with the topic list
// so the calendar can look a day up without scanning every entry.
#pragma once

#include <cstdint>
#include <string_view>
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
    // A date as one ordered number: a header's year fits in 14 bits (-999..9999), its month and
    // day in a byte each (-9..99).
    using DateKey = std::uint32_t;
    static constexpr DateKey kNoDate = UINT32_MAX;
    static DateKey KeyOf(int year, int month, int day);

    struct Item {
        DateKey date;
        std::int32_t index;
        auto operator<=>(const Item&) const = default;
    };

    // Sorted by date, then by list order: a few bytes an entry, where a hash map of lists
    // cost a hundred at every start with a large date book.
    std::vector<Item> m_items;
    // The date each list slot was indexed under, to undo it when the slot is replaced.
    std::vector<DateKey> m_slots;
};
