// Adds the topic list to the clock window: find and store by date, load from and save to the
// profile's "TOPICS" section, and follow changes others make to the file.
#include "profile/ProfileStore.h"
#include "framework/WinApp.h"
#include "clock/ClockDialog.h"
#include "topics/TopicEntry.h"

namespace {

// A hand-edited count beyond any real list must not make the start-up allocate without end.
constexpr int kMaxTopics = 1000000;

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

void CClockDialog::LoadTopics()
{
    CWinApp* app = AfxGetApp();
    // The count and every entry from one reading of the file (nothing is written).
    ProfileStore::Batch snapshot(app->Profile());
    m_topics.RemoveAll();
    const int count = std::min(app->GetProfileInt("TOPICS", "NUMBER", 0), kMaxTopics);
    m_topics.Reserve(count);
    for (int i = 0; i < count; ++i)
        m_topics.Add(UnescapeLineBreaks(app->GetProfileString("TOPICS", TopicKey(i), "").view()));
    snapshot.Commit();
    m_topicIndex.Rebuild(m_topics);
}

void CClockDialog::SaveTopics()
{
    CWinApp* app = AfxGetApp();
    // The count and every entry reach the file together, in one replace, or not at all.
    ProfileStore::Batch batch(app->Profile());
    app->WriteProfileInt("TOPICS", "NUMBER", m_topics.GetSize());
    for (int i = 0; i < m_topics.GetSize(); ++i) {
        // A lone CR or LF would break the file's lines; every line break is saved as "<CR>".
        const CString entry = EscapeLineBreaks(NormalizeLineBreaks(m_topics[i].view()).view());
        app->WriteProfileString("TOPICS", TopicKey(i), entry);
    }
    m_topicsUnsaved = !batch.Commit();
}

void CClockDialog::OnFileChanged(UINT_PTR)
{
    // What the last failed save could not write lives only here; the next save writes it.
    if (m_topicsUnsaved)
        return;
    // The file is the truth now: its topics, and the bold dates of the months on show.
    LoadTopics();
    SYSTEMTIME range[2];
    if (m_calendar.GetMonthRange(range, GMR_DAYSTATE) > 0)
        RefreshDayMarks(range[0].wYear, range[0].wMonth);
}
