// The clock window itself: start-up in its fixed order, the clock title, fold and unfold, the
// quit question, the window menu and the minute tick.
#include "clock/ClockDialog.h"

#include "about/AboutDialog.h"
#include "core/Time.h"
#include "framework/WinApp.h"
#include "profile/ProfileStore.h"
#include "res/Resource.h"

BEGIN_MESSAGE_MAP(CClockDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_WM_FILECHANGED()
    ON_WM_DAYTURN()
    ON_NOTIFY(MCN_GETDAYSTATE, IDC_CALENDAR, OnGetDayState)
    ON_NOTIFY(MCN_GETDAYTEXT, IDC_CALENDAR, OnGetDayText)
    ON_NOTIFY(MCN_SELCHANGE, IDC_CALENDAR, OnSelChange)
    ON_NOTIFY(MCN_SELECT, IDC_CALENDAR, OnSelect)
    ON_NOTIFY(NM_RELEASEDCAPTURE, IDC_CALENDAR, OnReleasedCapture)
END_MESSAGE_MAP()

CClockDialog::CClockDialog() : CDialog(IDD_CLOCK, nullptr)
{
    m_hIcon = AfxGetApp()->LoadIcon(IDI_CLOCK);
}

void CClockDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CALENDAR, m_calendar);
}

BOOL CClockDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (CMenu* sysMenu = GetSystemMenu(FALSE)) {
        CString entry;
        entry.LoadString(IDS_ABOUT_ENTRY);
        if (!entry.IsEmpty()) {
            sysMenu->AppendMenu(MF_SEPARATOR);
            sysMenu->AppendMenu(MF_STRING, IDM_ABOUT, entry);
        }
    }

    LoadPreferences();
    AddTopicCommands();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // Ticks land as the minute turns, so the title never lags the wall clock.
    SetTimer(1, 60000, nullptr, TimerAlignment::WallClock);

    m_flags = 0;
    ApplyLayout();
    UpdateClock();
    LoadPlacement();
    LoadTopics();
    RefreshDayMarks(m_year, m_month - 1);
    // Another machine (a synced folder), a hand edit or a restored backup may change the file.
    WatchFile(1, AfxGetApp()->Profile().path().c_str());
    UpdateCaptionTip();
    NotifyToday();

    return TRUE;
}

void CClockDialog::UpdateClock()
{
    const CTime now = CTime::GetCurrentTime();
    SetWindowText(now.Format("%H:%M  %m/%d %a"));
    const std::tm local = now.GetLocalTm();
    m_year = local.tm_year + 1900;
    m_month = local.tm_mon + 1;
    m_day = local.tm_mday;
}

void CClockDialog::ApplyLayout()
{
    CRect window;
    GetWindowRect(&window);
    CRect client;
    GetClientRect(&client);
    const int frameHeight = window.Height() - client.Height();
    // Unfolded, the client area is exactly as tall as the calendar at this screen's scale.
    CRect calendar;
    m_calendar.GetWindowRect(&calendar);
    window.bottom = window.top + frameHeight + ((m_flags & 1) ? calendar.Height() : 0);
    MoveWindow(window, TRUE);
}

void CClockDialog::OnOK()
{
    m_flags ^= 1;
    ApplyLayout();
}

void CClockDialog::OnCancel()
{
    UINT style = 0;
    const CString question = QuitQuestion(style);
    if (MessageBox(question, "終了", style) == IDYES)
        CDialog::OnCancel();
}

void CClockDialog::OnSysCommand(UINT nID, LPARAM lParam)
{
    (void)lParam;
    if ((nID & 0xFFF0) == IDM_ABOUT) {
        CAboutDialog dlgAbout;
        dlgAbout.DoModal();
    } else if ((nID & 0xFFF0) == IDM_SEARCH) {
        SearchTopics();
    } else if ((nID & 0xFFF0) == IDM_EXPORT) {
        ExportTopics();
    } else if (!TogglePreference(nID & 0xFFF0)) {
        Default();
    }
}

void CClockDialog::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, dc.GetSafeHdc(), 0);
        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        Default();
    }
}

HICON CClockDialog::OnQueryDragIcon()
{
    return m_hIcon;
}

void CClockDialog::OnTimer(UINT_PTR nIDEvent)
{
    UpdateClock();
    (void)nIDEvent;
    Default();
}

void CClockDialog::OnReleasedCapture(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}
