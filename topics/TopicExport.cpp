// Adds the export to the clock window: every topic the calendar shows, written as an iCalendar
// file where the user says.
#include <chrono>
#include <string>

#include "clock/ClockDialog.h"
#include "framework/WinApp.h"
#include "profile/AtomicFile.h"
#include "res/Resource.h"
#include "topics/CalendarExport.h"
#include "topics/TopicFile.h"

void CClockDialog::ExportTopics()
{
    const char* caption = "iCalendar 形式で書き出す";
    // The list as shown, edits not yet saved included.
    const std::string ics = ExportICalendar(DatedTopics(m_topics), std::chrono::system_clock::now());
    if (ics.empty()) {
        MessageBox("書き出すトピックがありません。", caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const CString file = AfxGetSaveFileName(caption, "ombrelclock.ics", "iCalendar (*.ics)");
    if (file.IsEmpty())
        return;
    FileStamp written;
    std::string reason;
    if (!ReplaceFileAtomically(file.str(), ics, {}, written, reason)) {
        CString text;
        text.Format("書き出せませんでした。\n\n%s\n%s", file.GetString(), reason.c_str());
        MessageBox(text, caption, MB_OK | MB_ICONERROR);
    }
}
