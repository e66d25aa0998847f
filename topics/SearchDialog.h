// CSearchDialog: the topic search: a box to type in and the dates whose topic holds the text,
// latest first; Enter or a double click chooses one.
#pragma once

#include <vector>

#include "framework/Dialog.h"
#include "framework/ListBox.h"
#include "topics/TopicSearch.h"

class CSearchDialog : public CDialog {
public:
    explicit CSearchDialog(CWnd* pParent = nullptr);

    TopicSearch m_search; // built by the caller before DoModal
    CString m_query;
    int m_year = 0; // the date chosen, after IDOK
    int m_month = 0;
    int m_day = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnChangeQuery();
    void OnDblClkList();

    DECLARE_MESSAGE_MAP()

private:
    CListBox m_list;
    std::vector<int> m_shown; // the search's index of each row
};
