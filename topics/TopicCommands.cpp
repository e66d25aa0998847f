// Adds the topic commands to the clock window: the window menu's search and export entries, and
// Ctrl+F for the search, whose chosen date the calendar then shows.
#include "clock/ClockDialog.h"
#include "res/Resource.h"
#include "topics/SearchDialog.h"

namespace {
constexpr ACCEL kKeys[] = {{FVIRTKEY | FCONTROL, 'F', IDM_SEARCH}};
struct Entry { UINT command, text; };
constexpr Entry kEntries[] = {{IDM_SEARCH, IDS_SEARCH_ENTRY}, {IDM_EXPORT, IDS_EXPORT_ENTRY}};
} // namespace

void CClockDialog::AddTopicCommands()
{
    if (CMenu* sysMenu = GetSystemMenu(FALSE)) {
        sysMenu->AppendMenu(MF_SEPARATOR);
        for (const Entry& row : kEntries) {
            CString entry;
            if (entry.LoadString(row.text))
                sysMenu->AppendMenu(MF_STRING, row.command, entry);
        }
    }
    SetAccelerators(kKeys);
}

void CClockDialog::SearchTopics()
{
    CSearchDialog dlg(this);
    // Folded once as the dialog opens: a copy kept with the list would cost its memory all
    // the time and work at every edit, for a dialog seldom opened.
    dlg.m_search.Build(m_topics, m_topicIndex);
    // Beside the clock window, so the calendar stays in sight.
    CRect window;
    GetWindowRect(&window);
    dlg.SetAnchorRect(window);
    if (dlg.DoModal() == IDOK)
        ShowDate(dlg.m_year, dlg.m_month, dlg.m_day);
}
