// CClockApp: the application object. It runs the clock window modally for the life of the
// process and then lets the process end.
//
// How the program is put together (each layer uses only the ones below it; the folders are the
// layers, and the build keeps them: program code has no Qt include path at all):
//   program code    clock/     CClockApp, main, CClockDialog, placement
//                   topics/    topic entries and list, bold dates, CTopicDialog
//                   about/     CAboutDialog
//                   res/       IDs, dialog templates, strings, icons, version data (registered at start)
//   framework       framework/ CWinApp, CWnd, CDialog, CMonthCalCtrl, message tables, data exchange;
//                              framework/qt/ behind it is the only code that knows Qt
//   core            core/      CString, CTime, window-system types, dialog units, calendar arithmetic
//                   profile/   the INI profile store, text encodings, atomic file replace
#pragma once

#include "framework/WinApp.h"

class CClockApp : public CWinApp {
public:
    CClockApp();
    BOOL InitInstance() override;
};
