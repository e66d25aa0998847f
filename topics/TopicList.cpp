// Adds the topic list to the clock window: find and store by date, load it from the profile's
// "TOPICS" section, and follow changes others make to the file.
#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>
#include <vector>

#include "profile/IniSyntax.h"
#include "profile/ProfileStore.h"
#include "framework/WinApp.h"
#include "clock/ClockDialog.h"
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

int CClockDialog::FindTopic(CString& text, int year, int month, int day)
{
    const int i = m_topicIndex.Find(year, month, day);
    if (i < 0)
        return -1;
    const CString& entry = m_topics[i];
    if (const auto header = ParseTopicHeader(entry.view()))
        text = TopicText(entry.view(), *header);
    return i;
}

int CClockDialog::StoreTopic(const CString& text, int year, int month, int day)
{
    const TopicDate date{year, month, day};
    RememberChange(date, TopicTextOf(m_topics, m_topicIndex, date), text);
    const int i = m_topicIndex.Find(year, month, day);
    const CString entry = FormatTopicHeader(year, month, day) + text;
    int at = i;
    if (i < 0)
        at = m_topics.Add(entry);
    else
        m_topics.SetAt(i, entry);
    m_topicIndex.Stored(at, entry.view());
    return i;
}

void CClockDialog::RememberChange(TopicDate date, std::optional<CString> base, const CString& text)
{
    // The first base stays: it is what the file said before the user's first change.
    const int order = static_cast<int>(m_topicChanges.size());
    auto [it, added] = m_topicChanges.try_emplace(date, TopicChange{std::move(base), text, order});
    if (!added)
        it->second.text = text;
}

int CClockDialog::ReadTopics(CStringArray& entries)
{
    // One pass through the section in file order, where the first line of a key name counts,
    // as in a lookup by name.
    std::optional<int> number;
    std::vector<std::pair<int, CString>> found;
    AfxGetApp()->Profile().ForEachKey("TOPICS", [&](std::string_view key, std::string_view value) {
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

void CClockDialog::LoadTopics()
{
    // The count and every entry from one reading of the file (nothing is written).
    ProfileStore::Batch snapshot(AfxGetApp()->Profile());
    ReadTopics(m_topics);
    m_topicsFile = AfxGetApp()->Profile().stamp();
    snapshot.Commit();
    // The list holds what the program needs of the file; the store reads it again when used.
    AfxGetApp()->Profile().Release();
    m_topicIndex.Rebuild(m_topics);
    m_topicChanges.clear();
}

void CClockDialog::OnFileChanged(UINT_PTR)
{
    // Our own save, most likely: the list already holds what the file says.
    if (StampFile(AfxGetApp()->Profile().path()) == m_topicsFile)
        return;
    // The file is the truth now, but for the dates the user changed and the program has not
    // written yet: their text stays over the file's.
    {
        ProfileStore::Batch snapshot(AfxGetApp()->Profile());
        ReadTopics(m_topics);
        m_topicsFile = AfxGetApp()->Profile().stamp();
    }
    AfxGetApp()->Profile().Release();
    m_topicIndex.Rebuild(m_topics);
    ApplyTopicChanges(m_topics, m_topicIndex, m_topicChanges);
    // The bold dates of the months on show.
    SYSTEMTIME range[2];
    if (m_calendar.GetMonthRange(range, GMR_DAYSTATE) > 0)
        RefreshDayMarks(range[0].wYear, range[0].wMonth);
}
