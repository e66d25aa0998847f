// Adds to the clock window a way for the program to show a date: the calendar unfolded on it,
// the date selected and active, the window in front.
#include "clock/ClockDialog.h"

void CClockDialog::ShowDate(int year, int month, int day)
{
    SYSTEMTIME date;
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    if (year < 1 || year > 9999 || !m_calendar.SetCurSel(&date))
        return;
    // The program's selection tells no handler, so the active date is set here; and a change
    // left pending from before would swallow the click that should open the editor.
    m_year = year;
    m_month = month;
    m_day = day;
    m_flags &= ~2;
    RefreshDayMarks(year, month - 1);
    if (!(m_flags & 1)) {
        m_flags |= 1; // as Enter unfolds it
        ApplyLayout();
    }
    SetForegroundWindow();
}
