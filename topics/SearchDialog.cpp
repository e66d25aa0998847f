// The topic search's behaviour: every change of the box refills the list; Enter or a double
// click ends the dialog with the selected row's date.
#include "topics/SearchDialog.h"

#include "res/Resource.h"

BEGIN_MESSAGE_MAP(CSearchDialog, CDialog)
    ON_EN_CHANGE(IDC_SEARCH_TEXT, OnChangeQuery)
    ON_LBN_DBLCLK(IDC_SEARCH_LIST, OnDblClkList)
END_MESSAGE_MAP()

CSearchDialog::CSearchDialog(CWnd* pParent) : CDialog(IDD_SEARCH, pParent) {}

void CSearchDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SEARCH_LIST, m_list);
    DDX_Text(pDX, IDC_SEARCH_TEXT, m_query);
}

void CSearchDialog::OnChangeQuery()
{
    UpdateData(TRUE);
    m_shown = m_search.Find(m_query.view());
    // One update of the list for all the rows, however many match.
    m_list.SetRedraw(FALSE);
    m_list.ResetContent();
    for (const int i : m_shown)
        m_list.AddString(m_search.Line(i).c_str());
    m_list.SetRedraw(TRUE);
    // Enter takes the latest date at once; Tab and the arrow keys choose another.
    if (!m_shown.empty())
        m_list.SetCurSel(0);
}

void CSearchDialog::OnDblClkList()
{
    OnOK();
}

void CSearchDialog::OnOK()
{
    const int row = m_list.GetCurSel();
    if (row < 0 || row >= static_cast<int>(m_shown.size()))
        return; // nothing found yet: the box stays open for more typing
    const calendar::Date date = m_search.Date(m_shown[static_cast<std::size_t>(row)]);
    m_year = date.year;
    m_month = date.month;
    m_day = date.day;
    EndDialog(IDOK);
}
