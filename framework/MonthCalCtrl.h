// CMonthCalCtrl: the program's handle on the month calendar control of the clock window.
#pragma once

#include "framework/Wnd.h"

class CMonthCalCtrl : public CWnd {
public:
    // Applies `count` masks to the months shown now, earliest first.
    BOOL SetDayState(int count, MONTHDAYSTATE* masks);
    // The first and last day on show (GMR_DAYSTATE: the grey days of the neighbouring months
    // too) into range[0] and range[1]; returns how many months that covers.
    int GetMonthRange(SYSTEMTIME* range, DWORD flags) const;
    // The weekday of the first column, counted as the month calendar control counts it:
    // 0 Monday ... 6 Sunday. Returns the previous one.
    int SetFirstDayOfWeek(int day);
    // Screen rectangle of a date's cell, when the calendar shows that date.
    BOOL GetDayRect(int year, int month, int day, CRect* rect) const;
    // Selects a date and shows its month, sending no notification: the program chose it, so
    // no handler hears of it. The masks of newly shown months start clear (SetDayState sets
    // them). FALSE, and nothing changed, for a date that does not exist.
    BOOL SetCurSel(const SYSTEMTIME* date);
};
