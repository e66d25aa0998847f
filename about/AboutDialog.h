// CAboutDialog: the version box, whose "Save" button stores the clock window's placement.
#pragma once

#include "framework/Dialog.h"

class CAboutDialog : public CDialog {
public:
    CAboutDialog();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};
