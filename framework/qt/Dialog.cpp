#include "framework/Dialog.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
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

// A dialog is placed before the window manager frames it; once the frame is known (a title bar
// more, say) the placement is checked again, so the whole frame stays on the screen.
class OnScreenOnceFramed : public QObject {
public:
    OnScreenOnceFramed(QWidget* window, const QPoint& near)
        : QObject(window), m_near(near), m_placed(window->frameGeometry().size())
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize)
            && window->frameGeometry().size() != m_placed) {
            m_placed = window->frameGeometry().size();
            const QScreen* screen = QGuiApplication::screenAt(m_near);
            if (screen && !screen->availableGeometry().contains(window->frameGeometry()))
                moveOnScreen(window, window->frameGeometry().topLeft(), m_near);
        }
        return false;
    }

private:
    QPoint m_near;
    QSize m_placed;
};

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
        const QRect anchor(QPoint(m_anchor.left, m_anchor.top), QSize(m_anchor.Width(), m_anchor.Height()));
        if (m_hasAnchor)
            placeBeside(window, anchor);
        else
            placeOverOwner(window, owner);
        new OnScreenOnceFramed(window, m_hasAnchor ? anchor.center() : owner->frameGeometry().center());
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

void CDialog::SetDlgItemText(int id, const char* text)
{
    const DialogWindow* window = qobject_cast<DialogWindow*>(GetImpl() ? GetImpl()->widget.data() : nullptr);
    if (auto* label = qobject_cast<QLabel*>(window ? window->control(id) : nullptr))
        label->setText(QString::fromUtf8(text ? text : ""));
}

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
