#include "topics/TopicDialog.h"

#include "res/Resource.h"

CTopicDialog::CTopicDialog(CWnd* pParent) : CDialog(IDD_TOPIC, pParent) {}

void CTopicDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_TOPIC_TEXT, m_text);
}

BOOL CTopicDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_title);
    SetDlgItemText(IDC_TOPIC_DATE, m_title);
    return TRUE;
}

void CTopicDialog::OnOK()
{
    CDialog::OnOK();
}
