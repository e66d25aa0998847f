// CClockApp: the application object. It runs the clock window modally for the life of the
// process and then lets the process end.
//
// How the program is put together (each layer uses only the ones below it):
//   program code    CClockApp, CClockDialog (clock/), CTopicDialog (topics/), CAboutDialog (about/)
//   framework       CWinApp, CDialog, CWnd, CMonthCalCtrl, message tables, data exchange (Qt inside)
//   core            CString, CTime, profile store, topic entries, day masks (plain C++)
#pragma once

#include "app/WinApp.h"

class CClockApp : public CWinApp {
public:
    CClockApp();
    BOOL InitInstance() override;
};
