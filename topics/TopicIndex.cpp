#include "topics/TopicIndex.h"

#include <algorithm>

#include "topics/TopicEntry.h"

TopicIndex::DateKey TopicIndex::KeyOf(int year, int month, int day)
{
    return static_cast<DateKey>(year + 1000) << 16 | static_cast<DateKey>(month & 0xff) << 8 | static_cast<DateKey>(day & 0xff);
}

void TopicIndex::Rebuild(const CStringArray& list)
{
    Clear();
    m_slots.assign(static_cast<std::size_t>(list.GetSize()), kNoDate);
    m_items.reserve(m_slots.size());
    for (int i = 0; i < list.GetSize(); ++i) {
        if (const auto header = ParseTopicHeader(list[i].view())) {
            m_slots[static_cast<std::size_t>(i)] = KeyOf(header->year, header->month, header->day);
            m_items.push_back({m_slots[static_cast<std::size_t>(i)], i});
        }
    }
    std::sort(m_items.begin(), m_items.end());
}

void TopicIndex::Stored(int index, std::string_view entry)
{
    if (index < 0)
        return;
    const auto slot = static_cast<std::size_t>(index);
    if (slot >= m_slots.size())
        m_slots.resize(slot + 1, kNoDate); // slots skipped over hold no date
    if (DateKey& old = m_slots[slot]; old != kNoDate) {
        m_items.erase(std::lower_bound(m_items.begin(), m_items.end(), Item{old, index}));
        old = kNoDate;
    }
    const auto header = ParseTopicHeader(entry);
    if (!header)
        return;
    const Item item{KeyOf(header->year, header->month, header->day), index};
    m_items.insert(std::lower_bound(m_items.begin(), m_items.end(), item), item);
    m_slots[slot] = item.date;
}

int TopicIndex::Find(int year, int month, int day) const
{
    // Dates a header cannot hold would alias others in the key.
    if (year < -999 || year > 9999 || month < -9 || month > 99 || day < -9 || day > 99)
        return -1;
    const DateKey date = KeyOf(year, month, day);
    const auto it = std::lower_bound(m_items.begin(), m_items.end(), Item{date, INT32_MIN});
    return it != m_items.end() && it->date == date ? it->index : -1;
}

void TopicIndex::Clear()
{
    m_items.clear();
    m_slots.clear();
}
