// CTopicDialog: the small editor of one date's topic, titled with the date.
#pragma once

#include "framework/Dialog.h"

class CTopicDialog : public CDialog {
public:
    explicit CTopicDialog(CWnd* pParent = nullptr);

    CString m_title;
    CString m_text;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
