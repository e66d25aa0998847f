#include "framework/Wnd.h"

#include <QFile>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <chrono>

#include "framework/qt/CaptionBar.h"
#include "framework/qt/FileWatcher.h"
#include "framework/Dialog.h"
#include "framework/qt/DialogWindow.h"
#include "framework/qt/TitleLine.h"
#include "framework/qt/WallClockTimer.h"
#include "framework/WinApp.h"
#include "framework/qt/WndImpl.h"

WndImpl::~WndImpl()
{
    timers.clear();
    fileWatches.clear();
    if (ownsWidget && widget)
        delete widget.data();
}

namespace {

QWidget* widgetOf(const CWnd* wnd)
{
    WndImpl* impl = wnd->GetImpl();
    return impl ? impl->widget.data() : nullptr;
}

DialogWindow* dialogWindowOf(const CWnd* wnd)
{
    return qobject_cast<DialogWindow*>(widgetOf(wnd));
}

QRect toQRect(const CRect& r)
{
    return QRect(QPoint(r.left, r.top), QSize(r.Width(), r.Height()));
}

CRect toCRect(const QRect& r)
{
    return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

} // namespace

CWnd::CWnd() = default;
CWnd::~CWnd() = default;

void CWnd::SetImpl(std::unique_ptr<WndImpl> impl)
{
    m_impl = std::move(impl);
}

void CWnd::GetWindowRect(CRect* rect) const
{
    if (DialogWindow* window = dialogWindowOf(this)) {
        *rect = toCRect(window->outerGeometry());
    } else if (QWidget* widget = widgetOf(this)) {
        *rect = toCRect(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
    } else {
        *rect = CRect();
    }
}

void CWnd::GetClientRect(CRect* rect) const
{
    QWidget* widget = widgetOf(this);
    if (DialogWindow* window = dialogWindowOf(this))
        widget = window->client();
    *rect = widget ? CRect(0, 0, widget->width(), widget->height()) : CRect();
}

void CWnd::MoveWindow(const CRect& rect, BOOL repaint)
{
    if (DialogWindow* window = dialogWindowOf(this)) {
        window->setOuterGeometry(toQRect(rect));
    } else if (QWidget* widget = widgetOf(this)) {
        widget->setGeometry(toQRect(rect));
    }
    if (repaint) {
        if (QWidget* widget = widgetOf(this))
            widget->update();
    }
}

void CWnd::SetWindowText(const char* text)
{
    const QString title = QString::fromUtf8(text ? text : "");
    if (DialogWindow* window = dialogWindowOf(this))
        window->setTitle(title);
    else if (QWidget* widget = widgetOf(this))
        widget->setWindowTitle(title);
}

void CWnd::SetCaptionTip(const char* text)
{
    if (DialogWindow* window = dialogWindowOf(this); window && window->caption())
        window->caption()->setToolTip(QString::fromUtf8(text ? text : ""));
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    // Qt keeps one icon with all its sizes; the big and the small one are the same image set.
    if (DialogWindow* window = dialogWindowOf(this)) {
        window->setWindowIcon(IconFromHandle(icon));
        if (window->caption() && !bigIcon)
            window->caption()->setIcon(IconFromHandle(icon));
    }
    return nullptr;
}

BOOL CWnd::IsIconic() const
{
    QWidget* widget = widgetOf(this);
    return widget && widget->isMinimized();
}

BOOL CWnd::SetForegroundWindow()
{
    QWidget* widget = widgetOf(this);
    if (!widget)
        return FALSE;
    QWidget* window = widget->window();
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return TRUE;
}

CMenu* CWnd::GetSystemMenu(BOOL revert)
{
    if (!m_systemMenu || revert) {
        m_systemMenu = std::make_unique<CMenu>();
        m_systemMenu->Reset({
            {MF_STRING, SC_MOVE, "移動(&M)"},
            {MF_STRING, SC_CLOSE, "閉じる(&C)\tAlt+F4"},
        });
    }
    return revert ? nullptr : m_systemMenu.get();
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*, TimerAlignment alignment)
{
    WndImpl* impl = GetImpl();
    if (!impl || !impl->widget)
        return 0;
    std::unique_ptr<QObject> timer;
    if (alignment == TimerAlignment::WallClock) {
        auto* wallClock = new WallClockTimer(std::chrono::milliseconds(elapse));
        QObject::connect(wallClock, &WallClockTimer::timeout, impl->widget, [this, id] { SendMessage(WM_TIMER, id, 0); });
        timer.reset(wallClock);
    } else {
        auto* interval = new QTimer;
        interval->setInterval(static_cast<int>(elapse));
        QObject::connect(interval, &QTimer::timeout, impl->widget, [this, id] { SendMessage(WM_TIMER, id, 0); });
        interval->start();
        timer.reset(interval);
    }
    impl->timers[id] = std::move(timer);
    return id;
}

BOOL CWnd::WatchFile(UINT_PTR id, const char* path)
{
    WndImpl* impl = GetImpl();
    if (!impl || !impl->widget || !path)
        return FALSE;
    impl->fileWatches[id] = std::make_unique<FileWatcher>(
        QFile::decodeName(path), [this, id] { SendMessage(WM_FILECHANGED, id, 0); });
    return TRUE;
}

int AfxMessageBox(const char* text, UINT type)
{
    CWnd* owner = AfxGetMainWnd();
    CWnd none;
    return (owner ? owner : &none)->MessageBox(text, "OmbrelClock", type);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    QMessageBox box(widgetOf(this) ? widgetOf(this)->window() : nullptr);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(QString::fromUtf8(caption ? caption : ""));
    box.setText(QString::fromUtf8(text ? text : ""));
    box.setTextFormat(Qt::PlainText);
    switch (type & 0x00F0) { // the icon is a number in these bits, not a set of flags
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    }
    if ((type & 0x000F) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton((type & MB_DEFBUTTON2) ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setWindowModality(Qt::ApplicationModal);
    AddTitleLine(&box);
    const int answer = box.exec();
    // The owner gets the keyboard back, also where no window manager hands it over.
    if (QWidget* owner = widgetOf(this); owner && owner->window()->isVisible())
        owner->window()->activateWindow();
    switch (answer) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        return (type & 0x000F) == MB_YESNO ? IDNO : IDCANCEL;
    }
}

CWnd* CWnd::GetParent() const
{
    DialogWindow* window = dialogWindowOf(this);
    if (!window)
        return nullptr;
    auto* owner = qobject_cast<DialogWindow*>(window->parentWidget());
    return owner ? owner->dialog() : nullptr;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageArgs args{message, wParam, lParam, 0};
    const MessageArgs* outer = m_current;
    m_current = &args;
    if (!OnWndMsg(args))
        args.result = DefWindowProc(message, wParam, lParam);
    m_current = outer;
    return args.result;
}

LRESULT CWnd::Default()
{
    if (!m_current)
        return 0;
    return DefWindowProc(m_current->message, m_current->wParam, m_current->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOVE) {
        if (DialogWindow* window = dialogWindowOf(this))
            window->startMoveMode();
    }
    return 0;
}

int CMenu::CheckMenuItem(UINT id, UINT check)
{
    for (Item& item : m_items) {
        if (item.id == id && !(item.flags & MF_SEPARATOR)) {
            const int previous = static_cast<int>(item.flags & MF_CHECKED);
            item.flags = (item.flags & ~MF_CHECKED) | (check & MF_CHECKED);
            return previous;
        }
    }
    return -1;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text)
{
    m_items.push_back({flags, static_cast<UINT>(id), CString(text)});
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_wnd(wnd) {}
CPaintDC::~CPaintDC() = default;

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon)
{
    WndImpl* impl = m_wnd ? m_wnd->GetImpl() : nullptr;
    if (!impl || !impl->painter)
        return FALSE;
    const int side = GetSystemMetrics(SM_CXICON);
    IconFromHandle(icon).paint(impl->painter, QRect(x, y, side, side));
    return TRUE;
}

std::vector<CRect> GetScreenWorkAreas()
{
    std::vector<CRect> areas;
    for (QScreen* screen : QGuiApplication::screens())
        areas.push_back(toCRect(screen->availableGeometry()));
    return areas;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}
