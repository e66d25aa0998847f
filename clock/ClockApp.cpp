#include "app/ClockApp.h"

#include "clock/ClockDialog.h"

CClockApp::CClockApp() : CWinApp(nullptr) {}

BOOL CClockApp::InitInstance()
{
    CClockDialog dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // FALSE: no message pump of our own; the process ends here.
    return FALSE;
}
