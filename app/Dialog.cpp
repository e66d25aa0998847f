#include "app/Dialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

#include "app/Controls.h"
#include "app/DialogWindow.h"
#include "app/WinApp.h"
#include "app/WndImpl.h"

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

// An owned dialog comes up centred on its owner, kept on the owner's screen.
void placeOverOwner(QWidget* window, QWidget* owner)
{
    const QRect frame = owner->frameGeometry();
    QRect target(QPoint(), window->frameGeometry().size());
    target.moveCenter(frame.center());
    if (QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        target.moveLeft(qBound(area.left(), target.left(), qMax(area.left(), area.right() - target.width())));
        target.moveTop(qBound(area.top(), target.top(), qMax(area.top(), area.bottom() - target.height())));
    }
    window->move(target.topLeft());
}

// Beside the anchor: to its right, else to its left, top edges level; always on the screen.
void placeBeside(QWidget* window, const QRect& anchor)
{
    const QSize size = window->frameGeometry().size();
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = window->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(anchor.topLeft(), size);
    QPoint at(anchor.right() + 1 + 4, anchor.top());
    if (at.x() + size.width() > area.right() + 1)
        at.setX(anchor.left() - 4 - size.width());
    at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() + 1 - size.width())));
    at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.bottom() + 1 - size.height())));
    window->move(at);
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
    const DialogTemplate* tmpl = res::FindDialogTemplate(m_templateId);
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
        // Ends with EndDialog, or when the application is told to quit (session end).
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &loop.loop, [&loop] { loop.loop.exit(); });
        loop.loop.exec(QEventLoop::DialogExec);
    }
    m_loop = nullptr;
    window->allowClose();
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
    // Commands no window handles go on to the application object (its help command, say).
    if (message == WM_COMMAND && AfxGetApp()) {
        MessageArgs args{message, wParam, lParam, 0};
        if (AfxGetApp()->OnWndMsg(args))
            return args.result;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    // Bound already, to a control that still exists (a dialog run again gets new controls).
    if (control.GetImpl() && control.GetImpl()->widget)
        return;
    WndImpl* dialogImpl = pDX->m_pDlgWnd->GetImpl();
    auto* window = dialogImpl ? qobject_cast<DialogWindow*>(dialogImpl->widget.data()) : nullptr;
    if (QWidget* widget = window ? window->control(static_cast<unsigned>(id)) : nullptr)
        control.SetImpl(std::make_unique<WndImpl>(widget));
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    WndImpl* dialogImpl = pDX->m_pDlgWnd->GetImpl();
    auto* window = dialogImpl ? qobject_cast<DialogWindow*>(dialogImpl->widget.data()) : nullptr;
    QWidget* edit = window ? window->control(static_cast<unsigned>(id)) : nullptr;
    if (!edit)
        return;
    if (pDX->m_bSaveAndValidate)
        value = CString(EditControlText(edit));
    else
        SetEditControlText(edit, value.str());
}
