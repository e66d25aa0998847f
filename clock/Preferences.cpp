// Adds the window menu's check items to the clock window: each takes effect at once and keeps
// its one key under "SETTING" (0 or 1; a missing key is the default). One table row a preference.
#include "clock/ClockDialog.h"
#include "framework/WinApp.h"
#include "res/Resource.h"

// In menu order.
const CClockDialog::Preference CClockDialog::kPreferences[] = {
    {IDM_TOPMOST, IDS_TOPMOST_ENTRY, "TOPMOST", false, &CClockDialog::SetTopmost},
    {IDM_STICKY, IDS_STICKY_ENTRY, "STICKY", false, &CClockDialog::SetOnAllDesktops},
    {IDM_WEEKSTART, IDS_WEEKSTART_ENTRY, "WEEKSTART", false, &CClockDialog::ApplyWeekStart},
    {IDM_NOTIFY, IDS_NOTIFY_ENTRY, "NOTIFY", true, &CClockDialog::ApplyNotify},
};

void CClockDialog::LoadPreferences()
{
    CMenu* sysMenu = GetSystemMenu(FALSE);
    if (sysMenu)
        sysMenu->AppendMenu(MF_SEPARATOR);
    for (const Preference& preference : kPreferences) {
        CString entry;
        entry.LoadString(preference.text);
        if (sysMenu && !entry.IsEmpty())
            sysMenu->AppendMenu(MF_STRING, preference.command, entry);
        const int stored = AfxGetApp()->GetProfileInt("SETTING", preference.key, preference.defaultOn ? 1 : 0);
        SetPreference(preference, stored == 1);
    }
}

bool CClockDialog::TogglePreference(UINT command)
{
    for (const Preference& preference : kPreferences) {
        if (preference.command == command) {
            const bool on = !PreferenceOn(command);
            SetPreference(preference, on);
            AfxGetApp()->WriteProfileInt("SETTING", preference.key, on ? 1 : 0);
            return true;
        }
    }
    return false;
}

bool CClockDialog::PreferenceOn(UINT command) const
{
    for (const Preference& preference : kPreferences)
        if (preference.command == command)
            return (m_preferencesOn >> (&preference - kPreferences)) & 1;
    return false;
}

void CClockDialog::SetPreference(const Preference& preference, bool on)
{
    const unsigned bit = 1u << (&preference - kPreferences);
    m_preferencesOn = on ? m_preferencesOn | bit : m_preferencesOn & ~bit;
    (this->*preference.apply)(on);
    if (CMenu* sysMenu = GetSystemMenu(FALSE))
        sysMenu->CheckMenuItem(preference.command, on ? MF_CHECKED : MF_UNCHECKED);
}

void CClockDialog::ApplyWeekStart(bool mondayFirst)
{
    m_calendar.SetFirstDayOfWeek(mondayFirst ? 0 : 6);
}
