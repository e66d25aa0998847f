#include "framework/Dialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

#include "framework/qt/Controls.h"
#include "framework/qt/DialogWindow.h"
#include "framework/WinApp.h"
#include "framework/qt/WndImpl.h"
#include "core/ResourceTable.h"

struct CDialog::Loop {
    QEventLoop loop;
    int result = IDCANCEL;
};

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

namespace {

QWidget* ownerWindow(CDialog* self, CWnd* parent)
{
    CWnd* owner = parent;
    if (!owner && AfxGetApp())
        owner = AfxGetApp()->m_pMainWnd;
    if (owner == self || !owner || !owner->GetImpl())
        return nullptr;
    return owner->GetImpl()->widget;
}

// Moves the window to `at`, or as near as keeps it wholly on the screen that shows `near`.
void moveOnScreen(QWidget* window, QPoint at, const QPoint& near)
{
    const QSize size = window->frameGeometry().size();
    QScreen* screen = QGuiApplication::screenAt(near);
    if (!screen)
        screen = window->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.left() + area.width() - size.width())));
        at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.top() + area.height() - size.height())));
    }
    window->move(at);
}

// An owned dialog comes up centred on its owner.
void placeOverOwner(QWidget* window, QWidget* owner)
{
    QRect target(QPoint(), window->frameGeometry().size());
    target.moveCenter(owner->frameGeometry().center());
    moveOnScreen(window, target.topLeft(), owner->frameGeometry().center());
}

// Beside the anchor: to its right, else to its left, top edges level.
void placeBeside(QWidget* window, const QRect& anchor)
{
    const int width = window->frameGeometry().width();
    const int gap = 4;
    QPoint at(anchor.left() + anchor.width() + gap, anchor.top());
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (screen && at.x() + width > screen->availableGeometry().left() + screen->availableGeometry().width())
        at.setX(anchor.left() - gap - width);
    moveOnScreen(window, at, anchor.center());
}

// TRUE from OnInitDialog: the focus starts on the first control that takes it.
void focusFirstControl(DialogWindow* window)
{
    for (QWidget* child : window->client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isEnabled() && (child->focusPolicy() & Qt::TabFocus)) {
            child->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace

std::intptr_t CDialog::DoModal()
{
    const DialogTemplate* tmpl = FindDialogTemplate(m_templateId);
    if (!tmpl || !qApp)
        return -1;
    QWidget* owner = ownerWindow(this, m_parent);
    auto* window = new DialogWindow(this, *tmpl, owner);
    auto impl = std::make_unique<WndImpl>(window);
    impl->ownsWidget = true;
    SetImpl(std::move(impl));

    Loop loop;
    m_loop = &loop;
    if (owner) {
        window->setWindowModality(Qt::ApplicationModal);
        if (m_hasAnchor)
            placeBeside(window, QRect(QPoint(m_anchor.left, m_anchor.top), QSize(m_anchor.Width(), m_anchor.Height())));
        else
            placeOverOwner(window, owner);
    }
    const BOOL focusFirst = OnInitDialog();
    // A dialog may end during its initialisation.
    if (m_loop == &loop) {
        window->show();
        window->activateWindow();
        if (focusFirst)
            focusFirstControl(window);
        // Ends with EndDialog, or when the application is told to quit (that ends every loop).
        loop.loop.exec(QEventLoop::DialogExec);
    }
    m_loop = nullptr;
    window->hide();
    // The owner gets the keyboard back, also where no window manager hands it over.
    if (owner && owner->isVisible())
        owner->activateWindow();
    SetImpl(nullptr);
    return loop.result;
}

void CDialog::EndDialog(int result)
{
    if (!m_loop)
        return;
    m_loop->result = result;
    m_loop->loop.exit();
    m_loop = nullptr;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The close box, Alt+F4 and the menu's Close: for a dialog they are Cancel.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        return SendMessage(WM_COMMAND, IDCANCEL, 0);
    // Commands no window handles go on to the application object (its help command, say).
    if (message == WM_COMMAND && AfxGetApp()) {
        MessageArgs args{message, wParam, lParam, 0};
        if (AfxGetApp()->OnWndMsg(args))
            return args.result;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

namespace {

QWidget* controlOf(CDataExchange* pDX, int id)
{
    WndImpl* dialogImpl = pDX->m_pDlgWnd->GetImpl();
    auto* window = dialogImpl ? qobject_cast<DialogWindow*>(dialogImpl->widget.data()) : nullptr;
    return window ? window->control(static_cast<unsigned>(id)) : nullptr;
}

} // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    // Bound already, to a control that still exists (a dialog run again gets new controls).
    if (control.GetImpl() && control.GetImpl()->widget)
        return;
    if (QWidget* widget = controlOf(pDX, id))
        control.SetImpl(std::make_unique<WndImpl>(widget));
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    QWidget* edit = controlOf(pDX, id);
    if (!edit)
        return;
    if (pDX->m_bSaveAndValidate)
        value = CString(EditControlText(edit));
    else
        SetEditControlText(edit, value.str());
}
