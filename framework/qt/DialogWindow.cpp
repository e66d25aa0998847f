#include "framework/qt/DialogWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>

#include "framework/qt/CaptionBar.h"
#include "framework/qt/TitleLine.h"
#include "framework/qt/Controls.h"
#include "framework/qt/DayTurn.h"
#include "framework/Dialog.h"
#include "framework/qt/DialogFont.h"
#include "framework/qt/WndImpl.h"

namespace {

// The client area: it paints through the dialog's WM_PAINT handler.
class ClientArea : public QWidget {
public:
    ClientArea(CDialog* dialog, QWidget* parent) : QWidget(parent), m_dialog(dialog)
    {
        setObjectName(QStringLiteral("client"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        WndImpl* impl = m_dialog->GetImpl();
        if (!impl)
            return;
        impl->painter = &painter;
        m_dialog->SendMessage(WM_PAINT);
        impl->painter = nullptr;
    }

private:
    CDialog* m_dialog;
};

QString menuText(const CString& text)
{
    // "閉じる(&C)\tAlt+F4": Qt takes the shortcut text after a tab the same way.
    return QString::fromUtf8(text.GetString());
}

} // namespace

bool DialogWindow::s_sessionEnding = false;

DialogWindow::DialogWindow(CDialog* dialog, const DialogTemplate& tmpl, QWidget* owner)
    : QWidget(owner), m_dialog(dialog)
{
    setObjectName(QStringLiteral("dialog%1").arg(tmpl.id));
    const bool ownCaption = owner == nullptr && (tmpl.style & WS_CAPTION);
    if (ownCaption) {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    } else {
        // Every owned window is a fixed dialog to the window manager (tool windows too), so it
        // gets neither minimise nor maximise.
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (tmpl.style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        setWindowFlags(flags);
    }
    setFont(MapDialogFont(tmpl.fontName, tmpl.pointSize));
    const DialogBaseUnits units = MeasureBaseUnits(font());
    setWindowTitle(QString::fromUtf8(tmpl.caption));

    if (ownCaption) {
        m_caption = new CaptionBar(this);
        m_caption->setTitle(windowTitle());
        connect(m_caption, &CaptionBar::systemMenuRequested, this, &DialogWindow::showSystemMenu);
        connect(m_caption, &CaptionBar::closeRequested, this, [this] { sendSysCommand(SC_CLOSE); });
    }
    m_client = new ClientArea(dialog, this);
    createControls(tmpl, units);
    // After the controls, so that a calendar shows the new day before the dialog hears of it.
    m_dayTurn = DayTurn::acquire();
    connect(m_dayTurn.get(), &DayTurn::turned, this, [this] { m_dialog->SendMessage(WM_DAYTURN); });

    const QSize clientSize(DluToPixelsX(units, tmpl.cx), DluToPixelsY(units, tmpl.cy));
    const int captionHeight = m_caption ? m_caption->preferredHeight() : 0;
    resize(clientSize.width(), clientSize.height() + captionHeight);
    // A tool window's title is its content's (the editor shows its date inside).
    if (!ownCaption && !(tmpl.exStyle & WS_EX_TOOLWINDOW)) {
        m_titleLineHeight = AddTitleLine(this);
        resize(width(), height() + m_titleLineHeight);
    }
    layoutStrips();
    // Minimum and maximum size hints alike: window managers offer no resize and no maximise.
    setFixedSize(size());

    // Templates place the window at (x, y) on the screen when it has no owner.
    if (!owner) {
        const QRect area = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect();
        move(area.topLeft() + QPoint(DluToPixelsX(units, tmpl.x), DluToPixelsY(units, tmpl.y)));
    }
}

DialogWindow::~DialogWindow() = default;

void DialogWindow::createControls(const DialogTemplate& tmpl, const DialogBaseUnits& units)
{
    ControlHooks hooks;
    hooks.notify = [this](NMHDR* header) { return m_dialog->SendMessage(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header)); };
    hooks.command = [this](unsigned id, unsigned code) {
        m_dialog->SendMessage(WM_COMMAND, (WPARAM(code & 0xFFFF) << 16) | (id & 0xFFFF), 0);
    };
    for (const ControlTemplate& control : tmpl.controls) {
        QWidget* widget = CreateControl(control, m_client, hooks);
        int height = DluToPixelsY(units, control.cy);
        // A one-line text box is never shorter than a line of the font that replaced the
        // template's (whose descenders reach further down).
        if (control.kind == ControlKind::Static)
            height = qMax(height, widget->fontMetrics().height());
        widget->setGeometry(DluToPixelsX(units, control.x), DluToPixelsY(units, control.y),
                            DluToPixelsX(units, control.cx), height);
        widget->setVisible(control.style & WS_VISIBLE);
        if (control.id != IDC_STATIC)
            m_controls[control.id] = widget;
    }
}

QWidget* DialogWindow::control(unsigned id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void DialogWindow::layoutStrips()
{
    const int captionHeight = m_caption ? m_caption->preferredHeight() : 0;
    if (m_caption)
        m_caption->setGeometry(0, 0, width(), captionHeight);
    const int top = captionHeight + m_titleLineHeight;
    m_client->setGeometry(0, top, width(), qMax(0, height() - top));
}

void DialogWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutStrips();
}

QRect DialogWindow::outerGeometry() const
{
    if (m_caption)
        return geometry();
    // Before the window manager has framed the window, its frame is the client alone.
    return frameGeometry();
}

void DialogWindow::setOuterGeometry(const QRect& rect)
{
    if (m_caption) {
        // The window system has no zero-sized windows; a hand-edited rectangle may ask for one.
        // Each fold and unfold fixes the size anew.
        setFixedSize(qMax(1, rect.width()), qMax(1, rect.height()));
        move(rect.topLeft());
        return;
    }
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int extraW = frame.width() - inner.width();
    const int extraH = frame.height() - inner.height();
    move(rect.topLeft());
    setFixedSize(qMax(1, rect.width() - extraW), qMax(1, rect.height() - extraH));
}

void DialogWindow::setTitle(const QString& title)
{
    setWindowTitle(title);
    if (m_caption)
        m_caption->setTitle(title);
}

void DialogWindow::showSystemMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("systemMenu"));
    for (const CMenu::Item& item : m_dialog->GetSystemMenu(FALSE)->Items()) {
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(menuText(item.text));
        action->setCheckable(item.flags & MF_CHECKED);
        action->setChecked(item.flags & MF_CHECKED);
        const unsigned id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { sendSysCommand(id); }, Qt::QueuedConnection);
    }
    menu.exec(globalPos);
}

void DialogWindow::showSystemMenuBelowCaption()
{
    showSystemMenu(m_caption ? m_caption->mapToGlobal(QPoint(0, m_caption->height())) : mapToGlobal(QPoint()));
}

void DialogWindow::sendSysCommand(unsigned id)
{
    m_dialog->SendMessage(WM_SYSCOMMAND, id, 0);
}

void DialogWindow::startMoveMode()
{
    if (m_moving)
        return;
    m_moving = true;
    m_moveStart = pos();
    // As the platform's keyboard move does: the pointer goes to the caption's middle.
    const int grabY = m_caption ? m_caption->height() / 2 : 0;
    m_moveGrab = QPoint(width() / 2, grabY);
    QCursor::setPos(mapToGlobal(m_moveGrab));
    setMouseTracking(true);
    grabMouse(Qt::SizeAllCursor);
    grabKeyboard();
}

void DialogWindow::endMoveMode(bool keep)
{
    if (!m_moving)
        return;
    m_moving = false;
    releaseKeyboard();
    releaseMouse();
    setMouseTracking(false);
    if (!keep)
        move(m_moveStart);
}

void DialogWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_moving) {
        move(event->globalPosition().toPoint() - m_moveGrab);
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void DialogWindow::mousePressEvent(QMouseEvent* event)
{
    if (m_moving) {
        endMoveMode(event->button() == Qt::LeftButton);
        return;
    }
    QWidget::mousePressEvent(event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event)
{
    if (m_moving) {
        const int step = event->modifiers() & Qt::ControlModifier ? 1 : 8;
        switch (event->key()) {
        case Qt::Key_Left: move(pos() + QPoint(-step, 0)); break;
        case Qt::Key_Right: move(pos() + QPoint(step, 0)); break;
        case Qt::Key_Up: move(pos() + QPoint(0, -step)); break;
        case Qt::Key_Down: move(pos() + QPoint(0, step)); break;
        case Qt::Key_Return:
        case Qt::Key_Enter: endMoveMode(true); break;
        case Qt::Key_Escape: endMoveMode(false); break;
        default: break;
        }
        return;
    }
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::NoModifier) {
            m_dialog->SendMessage(WM_COMMAND, IDOK, 0);
            return;
        }
        break;
    case Qt::Key_Escape:
        if (mods == Qt::NoModifier) {
            m_dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
            return;
        }
        break;
    case Qt::Key_F4:
        if (mods == Qt::AltModifier) {
            sendSysCommand(SC_CLOSE);
            return;
        }
        break;
    case Qt::Key_Space:
        if (mods == Qt::AltModifier) {
            showSystemMenuBelowCaption();
            return;
        }
        break;
    case Qt::Key_F10:
    case Qt::Key_Menu:
        // A window manager takes Alt+Space for its own menu; these keys always reach us. Only
        // the own caption's window has no other menu for them (an edit box has its own).
        if (m_caption && mods == (event->key() == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier)) {
            showSystemMenuBelowCaption();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event)
{
    // Only the dialog's own end takes the window down.
    event->ignore();
    if (s_sessionEnding) {
        // Logging out: nothing needs saving, and a question would hold the session up.
        m_dialog->EndDialog(IDCANCEL);
        return;
    }
    // The window manager's close (Alt+F4, a task bar's close) goes where the close box goes,
    // once: a second close while the question is up is dropped.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this)
        return;
    QMetaObject::invokeMethod(this, [this] { sendSysCommand(SC_CLOSE); }, Qt::QueuedConnection);
}
