// The open-addressing index of a section's key names (declared with the document it serves).
#include <algorithm>

#include "profile/IniDocument.h"

namespace ini {

std::uint32_t KeyIndex::Find(std::string_view name, const Document& doc) const
{
    if (m_slots.empty())
        return kNoLine;
    return m_slots[SlotOf(name, NameHash(name), doc)].line;
}

void KeyIndex::Add(std::string_view name, std::uint32_t line, const Document& doc)
{
    if ((m_count + 1) * 2 > m_slots.size())
        Grow();
    const std::uint32_t hash = NameHash(name);
    Slot& slot = m_slots[SlotOf(name, hash, doc)];
    if (slot.line == kNoLine) {
        slot = {hash, line};
        ++m_count;
    }
}

// The slot holding `name`, else the free slot where it belongs.
std::size_t KeyIndex::SlotOf(std::string_view name, std::uint32_t hash, const Document& doc) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::string scratch;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.line == kNoLine || (slot.hash == hash && SameName(doc.Parse(slot.line, scratch, false).name, name)))
            return i;
    }
}

void KeyIndex::Grow()
{
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(std::max<std::size_t>(16, old.size() * 2), Slot{});
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.line == kNoLine)
            continue;
        std::size_t i = slot.hash & mask;
        while (m_slots[i].line != kNoLine)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

} // namespace ini
