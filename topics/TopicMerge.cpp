#include "topics/TopicMerge.h"

#include <algorithm>

#include "topics/TopicEntry.h"

std::optional<CString> TopicTextOf(const CStringArray& entries, const TopicIndex& index, TopicDate date)
{
    const int i = index.Find(date.year, date.month, date.day);
    if (i < 0)
        return std::nullopt;
    const auto header = ParseTopicHeader(entries[i].view());
    return header ? TopicText(entries[i].view(), *header) : CString();
}

TopicMerge ApplyTopicChanges(CStringArray& entries, TopicIndex& index, const TopicChanges& changes)
{
    TopicMerge merge;
    std::vector<TopicChanges::const_iterator> inOrder;
    for (auto it = changes.begin(); it != changes.end(); ++it)
        inOrder.push_back(it);
    std::sort(inOrder.begin(), inOrder.end(), [](auto a, auto b) { return a->second.order < b->second.order; });
    for (const auto& it : inOrder) {
        const auto& [date, change] = *it;
        const std::optional<CString> file = TopicTextOf(entries, index, date);
        // Line breaks compare as saved, so a text typed with LF matches its own CR LF copy.
        const auto same = [](const CString& a, const CString& b) {
            return NormalizeLineBreaks(a.view()) == NormalizeLineBreaks(b.view());
        };
        const bool fileMoved = file.has_value() != change.base.has_value() || (file && !same(*file, *change.base));
        if (fileMoved && !(file && same(*file, change.text)))
            merge.overwritten.push_back(date);

        const CString entry = FormatTopicHeader(date.year, date.month, date.day) + NormalizeLineBreaks(change.text.view());
        int at = index.Find(date.year, date.month, date.day);
        if (at < 0) {
            at = entries.Add(entry);
        } else if (entries[at] == entry) {
            continue;
        } else {
            entries.SetAt(at, entry);
        }
        index.Stored(at, entry.view());
        merge.written.push_back(at);
    }
    std::sort(merge.written.begin(), merge.written.end());
    return merge;
}
