// Adds saving to the topic list: a save writes only the dates the user changed, over the file as
// it is at that moment; what a save could not write is copied aside at once, and quitting asks
// before it is left behind.
#include <algorithm>
#include <utility>

#include "core/Time.h"
#include "framework/WinApp.h"
#include "profile/Backups.h"
#include "profile/ProfileStore.h"
#include "clock/ClockDialog.h"
#include "topics/TopicEntry.h"

namespace {

CString Stamp()
{
    return CTime::GetCurrentTime().Format("%Y-%m-%d-%H%M%S");
}

CString DateText(TopicDate date)
{
    CString text;
    text.Format("%d/%d/%d", date.year, date.month, date.day);
    return text;
}

// A profile file of its own holding the changed dates, so it can be opened or copied over the
// profile like any other.
std::string EmergencyProfile(const TopicChanges& changes)
{
    std::string bytes = "[TOPICS]\r\nNUMBER=" + std::to_string(changes.size()) + "\r\n";
    int i = 0;
    for (const auto& [date, change] : changes) {
        const CString entry = FormatTopicHeader(date.year, date.month, date.day) + NormalizeLineBreaks(change.text.view());
        bytes += TopicKey(i++).str() + "=" + EscapeLineBreaks(entry.view()).str() + "\r\n";
    }
    return bytes;
}

// The store's own message box stays away while the caller reports the failure itself.
class QuietStore {
public:
    explicit QuietStore(ProfileStore& store) : m_store(store), m_handler(store.ErrorHandler())
    {
        m_store.SetErrorHandler([this](const ProfileError& error) { m_error = error; });
    }
    ~QuietStore() { m_store.SetErrorHandler(std::move(m_handler)); }
    QuietStore(const QuietStore&) = delete;
    QuietStore& operator=(const QuietStore&) = delete;

    const ProfileError& error() const { return m_error; }

private:
    ProfileStore& m_store;
    std::function<void(const ProfileError&)> m_handler;
    ProfileError m_error;
};

} // namespace

bool CClockDialog::SaveTopics(bool quiet)
{
    if (m_topicChanges.empty())
        return true;
    CWinApp* app = AfxGetApp();
    ProfileStore& store = app->Profile();
    QuietStore quietStore(store);

    // The file's list as it is now, with the changed dates laid over it; one replace writes
    // the entries that differ and the count, or nothing. While the file is as the list was
    // read or last written, the list is that already, and a large file is not read again.
    ProfileStore::Batch batch(store);
    const bool fileAsRead = store.stamp() == m_topicsFile;
    CStringArray entries;
    TopicIndex index;
    TopicMerge merge;
    int number = 0;
    if (fileAsRead) {
        number = store.GetInt("TOPICS", "NUMBER", 0);
        for (const auto& [date, change] : m_topicChanges)
            merge.written.push_back(m_topicIndex.Find(date.year, date.month, date.day));
        std::sort(merge.written.begin(), merge.written.end());
    } else {
        number = ReadTopics(entries);
        index.Rebuild(entries);
        merge = ApplyTopicChanges(entries, index, m_topicChanges);
    }
    const CStringArray& list = fileAsRead ? m_topics : entries;
    CString keptOutside = KeepOutsideChange(merge);
    // The count first, so that a new section starts with it.
    if (list.GetSize() != number)
        app->WriteProfileInt("TOPICS", "NUMBER", list.GetSize());
    for (const int i : merge.written) // a lone CR or LF would break the file's lines
        app->WriteProfileString("TOPICS", TopicKey(i), EscapeLineBreaks(NormalizeLineBreaks(list[i].view()).view()));
    if (!batch.Commit()) {
        ReportFailedSave(quietStore.error(), quiet);
        return false;
    }
    m_topicsFile = store.stamp();
    store.Release();
    if (!fileAsRead) {
        std::swap(m_topics, entries);
        std::swap(m_topicIndex, index);
    }
    m_topicChanges.clear();
    if (!merge.overwritten.empty()) {
        CString text;
        text.Format("%s のトピックは、ほかのところでも変更されていました。入力した内容で保存し、"
                    "変更前のファイルを次の場所に残しました:\n\n%s",
                    DateText(merge.overwritten.front()).GetString(), keptOutside.GetString());
        MessageBox(text, "トピック", MB_OK | MB_ICONINFORMATION);
    }
    return true;
}

CString CClockDialog::KeepOutsideChange(const TopicMerge& merge)
{
    if (merge.overwritten.empty())
        return {};
    CWinApp* app = AfxGetApp();
    FileContent file;
    std::string reason;
    std::filesystem::path copy;
    if (ReadWholeFile(app->Profile().path(), file, reason))
        copy = app->Backups().Keep("outside", Stamp().view(), file.bytes, reason);
    return copy.empty() ? CString("(" + reason + ")") : CString(copy.string());
}

void CClockDialog::ReportFailedSave(const ProfileError& error, bool quiet)
{
    std::string reason;
    const std::filesystem::path copy =
        AfxGetApp()->Backups().Keep("unsaved", Stamp().view(), EmergencyProfile(m_topicChanges), reason);
    m_emergencyCopy = copy.string();
    if (quiet)
        return;
    CString text;
    text.Format("設定ファイルに書き込めませんでした。\n\n%s\n%s\n\n", error.file.c_str(), error.reason.c_str());
    if (copy.empty())
        text += CString("入力したトピックの控えも残せませんでした:\n" + reason + "\n\n");
    else
        text += CString("入力したトピックの控えを次の場所に残しました:\n" + copy.string() + "\n\n");
    text += "入力した内容はこのまま保持し、次の保存のときにすべて書き込みます。";
    AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

CString CClockDialog::QuitQuestion(UINT& style)
{
    style = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;
    if (SaveTopics(true))
        return "終了しますか？";
    style = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
    if (m_emergencyCopy.IsEmpty())
        return "トピックを保存できませんでした。控えも残せなかったため、終了すると入力したトピックは失われます。\n\n終了しますか？";
    style = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON1;
    return "トピックを保存できませんでした。控えを次の場所に残しました:\n" + m_emergencyCopy + "\n\n終了しますか？";
}
