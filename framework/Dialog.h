// CDialog: a window built from a dialog template and run modally in its own nested loop,
// with the hooks OnInitDialog, OnOK, OnCancel and DoDataExchange; and the data exchange.
#pragma once

#include <cstdint>

#include "framework/Wnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate; // TRUE: controls to members
    CDialog* m_pDlgWnd;
};

// Binds a control wrapper to the dialog's control with this ID.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Moves text between an edit control and a string; line breaks are CR LF in the string.
void DDX_Text(CDataExchange* pDX, int id, CString& value);

class CDialog : public CWnd {
public:
    // A dialog with no parent is owned by the application's main window, unless it is that window.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window, runs the nested loop until EndDialog, returns its result (-1 if the
    // window could not be created).
    virtual std::intptr_t DoModal();
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Shows the dialog beside this screen rectangle (a clicked date, say), kept on the screen.
    void SetAnchorRect(const CRect& rect) { m_anchor = rect; m_hasAnchor = true; }

    virtual BOOL OnInitDialog();
    // The text of a static control of the template.
    void SetDlgItemText(int id, const char* text);

protected:
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    UINT m_templateId;
    CWnd* m_parent;
    CRect m_anchor;
    bool m_hasAnchor = false;
    struct Loop;
    Loop* m_loop = nullptr;
};
