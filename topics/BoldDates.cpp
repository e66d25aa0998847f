// Adds bold dates to the clock window: the masks the calendar asks for, and the ones pushed
// after start and after each edit.
#include <algorithm>

#include "clock/ClockDialog.h"
#include "topics/DayStateMasks.h"

bool CClockDialog::IsMarked(int year, int month, int day)
{
    CString text;
    return FindTopic(text, year, month, day) >= 0 && !text.IsEmpty();
}

void CClockDialog::RefreshDayMarks(int year, int month)
{
    std::vector<MONTHDAYSTATE> masks =
        ComputeDayMasks(year, month, 3, [this](int y, int m, int d) { return IsMarked(y, m, d); });
    m_calendar.SetDayState(3, masks.data());
}

void CClockDialog::OnGetDayState(NMHDR* pNotifyStruct, LRESULT* pResult)
{
    auto* request = reinterpret_cast<NMDAYSTATE*>(pNotifyStruct);
    // Three months for the one-month calendar; every month asked for, should it ever ask more.
    const int count = std::max(3, request->cDayState);
    m_dayStates = ComputeDayMasks(request->stStart.wYear, request->stStart.wMonth, count,
                                  [this](int y, int m, int d) { return IsMarked(y, m, d); });
    request->prgDayState = m_dayStates.data();
    *pResult = 0;
}
