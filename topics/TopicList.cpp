// Adds the topic list to the clock window: find and store by date, load it from the profile's
// "TOPICS" section, and follow changes others make to the file.
#include "profile/ProfileStore.h"
#include "framework/WinApp.h"
#include "clock/ClockDialog.h"
#include "topics/TopicEntry.h"
#include "topics/TopicFile.h"

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
    UpdateCaptionTip(year, month, day);
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
    return ReadTopicEntries(AfxGetApp()->Profile(), entries);
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
    UpdateCaptionTip();
    // The bold dates of the months on show.
    SYSTEMTIME range[2];
    if (m_calendar.GetMonthRange(range, GMR_DAYSTATE) > 0)
        RefreshDayMarks(range[0].wYear, range[0].wMonth);
}
