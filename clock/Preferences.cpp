// Adds the window menu's check items to the clock window: each takes effect at once and keeps
// its one key under "SETTING" (0 or 1; a missing key is the default). Weeks may start on Monday.
#include "clock/ClockDialog.h"
#include "framework/WinApp.h"
#include "res/Resource.h"

void CClockDialog::LoadPreferences()
{
    CMenu* sysMenu = GetSystemMenu(FALSE);
    CString entry;
    entry.LoadString(IDS_WEEKSTART_ENTRY);
    if (sysMenu && !entry.IsEmpty()) {
        sysMenu->AppendMenu(MF_SEPARATOR);
        sysMenu->AppendMenu(MF_STRING, IDM_WEEKSTART, entry);
    }
    ApplyWeekStart(AfxGetApp()->GetProfileInt("SETTING", "WEEKSTART", 0) == 1);
}

bool CClockDialog::TogglePreference(UINT command)
{
    if (command != IDM_WEEKSTART)
        return false;
    ApplyWeekStart(!m_mondayFirst);
    AfxGetApp()->WriteProfileInt("SETTING", "WEEKSTART", m_mondayFirst ? 1 : 0);
    return true;
}

void CClockDialog::ApplyWeekStart(bool mondayFirst)
{
    m_mondayFirst = mondayFirst;
    m_calendar.SetFirstDayOfWeek(mondayFirst ? 0 : 6);
    if (CMenu* sysMenu = GetSystemMenu(FALSE))
        sysMenu->CheckMenuItem(IDM_WEEKSTART, mondayFirst ? MF_CHECKED : MF_UNCHECKED);
}
