#include "about/AboutDialog.h"

#include "clock/ClockDialog.h"
#include "res/Resource.h"

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUT, nullptr) {}

void CAboutDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

void CAboutDialog::OnOK()
{
    // The owner, as the window system reports it: the clock window.
    if (auto* clock = dynamic_cast<CClockDialog*>(GetParent()))
        clock->SavePlacement();
    CDialog::OnOK();
}
