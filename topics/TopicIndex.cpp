#include "topics/TopicIndex.h"

#include <algorithm>
#include <cstdint>

#include "topics/TopicEntry.h"

std::size_t TopicIndex::DateHash::operator()(const Date& d) const noexcept
{
    const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(d.year)) << 32)
        ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(d.month)) << 16)
        ^ static_cast<std::uint64_t>(static_cast<std::uint32_t>(d.day));
    return std::hash<std::uint64_t>{}(key);
}

void TopicIndex::Rebuild(const CStringArray& list)
{
    Clear();
    m_slots.reserve(static_cast<std::size_t>(list.GetSize()));
    for (int i = 0; i < list.GetSize(); ++i)
        Stored(i, list[i].view());
}

void TopicIndex::Stored(int index, std::string_view entry)
{
    if (index < 0)
        return;
    const auto slot = static_cast<std::size_t>(index);
    if (slot >= m_slots.size())
        m_slots.resize(slot + 1); // slots skipped over hold no date
    else
        Remove(index);

    const auto header = ParseTopicHeader(entry);
    if (!header)
        return;
    const Date date{header->year, header->month, header->day};
    auto& entries = m_byDate[date];
    entries.insert(std::lower_bound(entries.begin(), entries.end(), index), index);
    m_slots[slot] = date;
}

int TopicIndex::Find(int year, int month, int day) const
{
    const auto it = m_byDate.find(Date{year, month, day});
    return it == m_byDate.end() ? -1 : it->second.front();
}

void TopicIndex::Clear()
{
    m_byDate.clear();
    m_slots.clear();
}

void TopicIndex::Remove(int index)
{
    auto& old = m_slots[static_cast<std::size_t>(index)];
    if (!old)
        return;
    const auto it = m_byDate.find(*old);
    auto& entries = it->second;
    entries.erase(std::lower_bound(entries.begin(), entries.end(), index));
    if (entries.empty())
        m_byDate.erase(it); // Find relies on every stored list being non-empty
    old.reset();
}
