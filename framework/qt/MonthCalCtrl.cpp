#include "framework/MonthCalCtrl.h"

#include "framework/qt/Controls.h"
#include "framework/qt/WndImpl.h"
#include "framework/qt/MonthCalWidget.h"

namespace {

MonthCalWidget* calendarOf(const CWnd* wnd)
{
    WndImpl* impl = wnd->GetImpl();
    return impl ? qobject_cast<MonthCalWidget*>(impl->widget.data()) : nullptr;
}

} // namespace

BOOL CMonthCalCtrl::SetDayState(int count, MONTHDAYSTATE* masks)
{
    MonthCalWidget* calendar = calendarOf(this);
    return calendar && calendar->setDayState(count, masks);
}

int CMonthCalCtrl::SetFirstDayOfWeek(int day)
{
    MonthCalWidget* calendar = calendarOf(this);
    if (!calendar)
        return 6;
    const int previous = (calendar->firstWeekday() + 6) % calendar::kWeekdays;
    calendar->setFirstWeekday(day + 1); // Monday is 1 in the widget's count, Sunday 0 (7)
    return previous;
}

int CMonthCalCtrl::GetMonthRange(SYSTEMTIME* range, DWORD flags) const
{
    MonthCalWidget* calendar = calendarOf(this);
    if (!calendar || !range)
        return 0;
    const SYSTEMTIME leading = calendar->firstVisibleMonth();
    const calendar::YearMonth shown = calendar::addMonths({leading.wYear, leading.wMonth}, 1);
    if (!(flags & GMR_DAYSTATE)) {
        range[0] = calendar::toSystemTime({shown.year, shown.month, 1});
        range[1] = calendar::toSystemTime({shown.year, shown.month, calendar::daysInMonth(shown)});
        return 1;
    }
    const auto grid = calendar::monthGrid(shown, calendar->firstWeekday());
    range[0] = calendar::toSystemTime(grid.front());
    range[1] = calendar::toSystemTime(grid.back());
    return 3;
}

BOOL CMonthCalCtrl::GetDayRect(int year, int month, int day, CRect* rect) const
{
    MonthCalWidget* calendar = calendarOf(this);
    if (!calendar || !rect)
        return FALSE;
    const SYSTEMTIME leading = calendar->firstVisibleMonth();
    const calendar::YearMonth shown = calendar::addMonths({leading.wYear, leading.wMonth}, 1);
    const int index = calendar::gridIndex(shown, {year, month, day}, calendar->firstWeekday());
    if (index < 0)
        return FALSE;
    const QRect cell = calendar->cellRect(index / calendar::kWeekdays, index % calendar::kWeekdays);
    const QPoint topLeft = calendar->mapToGlobal(cell.topLeft());
    *rect = CRect(topLeft.x(), topLeft.y(), topLeft.x() + cell.width(), topLeft.y() + cell.height());
    return TRUE;
}

BOOL CMonthCalCtrl::SetCurSel(const SYSTEMTIME* date)
{
    MonthCalWidget* calendar = calendarOf(this);
    if (!calendar || !date || date->wYear < 1 || date->wMonth < 1 || date->wMonth > 12 || date->wDay < 1 ||
        date->wDay > calendar::daysInMonth({date->wYear, date->wMonth}))
        return FALSE;
    calendar->setSelection({date->wYear, date->wMonth, date->wDay});
    return TRUE;
}

QWidget* CreateMonthCalendar(QWidget* parent, unsigned id, const ControlHooks& hooks)
{
    auto* calendar = new MonthCalWidget(parent);
    calendar->setControlId(id);
    // Installing the receiver asks for the first day states, as a new control does.
    calendar->setNotifyHandler(hooks.notify);
    return calendar;
}
