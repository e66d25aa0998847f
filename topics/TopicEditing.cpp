// Adds topic editing to the clock window: a click on the selected date opens the editor;
// a click that only moves the selection opens nothing.
#include "framework/WinApp.h"
#include "clock/ClockDialog.h"
#include "topics/TopicDialog.h"

void CClockDialog::OnSelChange(NMHDR* pNotifyStruct, LRESULT* pResult)
{
    const auto* change = reinterpret_cast<NMSELCHANGE*>(pNotifyStruct);
    m_year = change->stSelStart.wYear;
    m_month = change->stSelStart.wMonth;
    m_day = change->stSelStart.wDay;
    m_flags |= 2;
    *pResult = 0;
}

void CClockDialog::OnSelect(NMHDR* pNotifyStruct, LRESULT* pResult)
{
    if (m_flags & 2) {
        m_flags &= ~2;
        *pResult = 0;
        return;
    }
    // The date the user clicked, not the active date: a clock tick may have reset that to
    // today while another date stays highlighted.
    const auto* select = reinterpret_cast<NMSELECT*>(pNotifyStruct);
    EditTopic(select->stSelStart.wYear, select->stSelStart.wMonth, select->stSelStart.wDay);
    *pResult = 0;
}

void CClockDialog::EditTopic(int year, int month, int day)
{
    CTopicDialog dlg;
    dlg.m_title.Format("%4d/%2d/%2d", year, month, day);
    const std::optional<CString> opened = TopicTextOf(m_topics, m_topicIndex, {year, month, day});
    if (opened)
        dlg.m_text = *opened;
    // Beside the clock window, level with the clicked date's row, so the editor covers
    // neither the date nor the rest of the month.
    CRect cell;
    if (m_calendar.GetDayRect(year, month, day, &cell)) {
        CRect window;
        GetWindowRect(&window);
        dlg.SetAnchorRect(CRect(window.left, cell.top, window.right, cell.bottom));
    }
    // Cancel, or Enter on the text as it was, changes nothing: storing the opened text back
    // would put old text over a change made meanwhile by someone else.
    if (dlg.DoModal() != IDOK || (opened ? *opened : CString()) == dlg.m_text)
        return;
    // Compared with what the editor opened, not with the list now: the file may have changed
    // while the editor was open.
    RememberChange({year, month, day}, opened, dlg.m_text);
    StoreTopic(dlg.m_text, year, month, day);
    RefreshDayMarks(year, month - 1);
    SaveTopics();
}
