// CMonthCalCtrl: the program's handle on the month calendar control of the clock window.
#pragma once

#include "framework/Wnd.h"

class CMonthCalCtrl : public CWnd {
public:
    // Applies `count` masks to the months shown now, earliest first.
    BOOL SetDayState(int count, MONTHDAYSTATE* masks);
    // Screen rectangle of a date's cell, when the calendar shows that date.
    BOOL GetDayRect(int year, int month, int day, CRect* rect) const;
};
