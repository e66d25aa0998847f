#include "clock/ClockApp.h"

#include "clock/ClockDialog.h"
#include "res/Resources.h"

CClockApp::CClockApp() : CWinApp(nullptr)
{
    // Dialog templates, strings and icons, for everything that looks them up by ID.
    AfxSetResourceTable(&res::ProgramResources());
}

BOOL CClockApp::InitInstance()
{
    CClockDialog dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // FALSE: no message pump of our own; the process ends here.
    return FALSE;
}
