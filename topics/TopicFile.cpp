#include "topics/TopicFile.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>
#include <vector>

#include "profile/IniSyntax.h"
#include "profile/ProfileStore.h"
#include "topics/TopicEntry.h"

namespace {

// The number a key name stands for when it is exactly how the program spells entry keys
// ("%05d"): digits, five of them or more without a leading zero.
int EntryNumber(std::string_view key)
{
    if (key.size() < 5 || (key.size() > 5 && key.front() == '0'))
        return -1;
    int n = -1;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), n);
    return error == std::errc() && end == key.data() + key.size() && n >= 0 ? n : -1;
}

} // namespace

int ReadTopicEntries(ProfileStore& store, CStringArray& entries)
{
    // One pass through the section in file order, where the first line of a key name counts,
    // as in a lookup by name.
    std::optional<int> number;
    std::vector<std::pair<int, CString>> found;
    store.ForEachKey("TOPICS", [&](std::string_view key, std::string_view value) {
        if (ini::SameName(key, "NUMBER")) {
            if (!number)
                number = ini::ParseProfileInt(value);
        } else if (const int n = EntryNumber(key); n >= 0) {
            found.emplace_back(n, CString(value));
        }
    });
    // A count beyond the last entry key in the file stands for nothing: a hand-edited
    // 2147483647 must not become a list of empty entries. Missing keys below it stay empty
    // entries, so the others keep their numbers.
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    entries.RemoveAll();
    entries.Reserve(static_cast<int>(found.size()));
    for (auto& [n, entry] : found) {
        if (n >= number.value_or(0) || n < entries.GetSize())
            continue; // past the count, or a later line of a key already read
        while (entries.GetSize() < n)
            entries.Add(CString());
        entry.Replace("<CR>", "\r\n"); // as UnescapeLineBreaks, without a copy of every entry
        entries.Add(std::move(entry));
    }
    return number.value_or(0);
}

std::vector<DatedTopic> DatedTopics(const CStringArray& entries)
{
    std::vector<DatedTopic> topics;
    topics.reserve(static_cast<std::size_t>(entries.GetSize()));
    for (int i = 0; i < entries.GetSize(); ++i) {
        if (const auto header = ParseTopicHeader(entries[i].view()))
            topics.push_back({header->year, header->month, header->day, TopicText(entries[i].view(), *header).str()});
    }
    return topics;
}
