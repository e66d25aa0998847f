#include "framework/qt/TitleLine.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QWidget>

#include "framework/qt/XcbProperties.h"


namespace {

#ifdef OMBREL_HAVE_XCB
// The window an EWMH window manager names on the root and on itself; none without one.
bool SupportingWindowAlive(xcb_connection_t* connection, xcb_window_t root)
{
    const xcb_atom_t check = XcbAtom(connection, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE)
        return false;
    const std::vector<uint32_t> named = XcbCardinals(connection, root, check, XCB_ATOM_WINDOW);
    // A crashed manager leaves the root's property behind; its window is gone then.
    return named.size() == 1 && XcbCardinals(connection, named[0], check, XCB_ATOM_WINDOW) == named;
}
#endif

// Keeps the title line across the top as the window changes size or title.
class TitleLineKeeper : public QObject {
public:
    TitleLineKeeper(QWidget* window, QLabel* line) : QObject(window), m_line(line) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            m_line->setGeometry(0, 0, window->width(), m_line->height());
        else if (event->type() == QEvent::WindowTitleChange)
            m_line->setText(window->windowTitle());
        return false;
    }

private:
    QLabel* m_line;
};

} // namespace

bool WindowManagerDrawsTitles()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return QGuiApplication::platformName() != QLatin1String("offscreen")
            && QGuiApplication::platformName() != QLatin1String("minimal");
#ifdef OMBREL_HAVE_XCB
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return true;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen && SupportingWindowAlive(connection, screen->root);
#else
    return true;
#endif
}

int AddTitleLine(QWidget* window)
{
    if (WindowManagerDrawsTitles())
        return 0;
    auto* line = new QLabel(window->windowTitle(), window);
    line->setObjectName(QStringLiteral("titleLine"));
    QFont bold = window->font();
    bold.setBold(true);
    line->setFont(bold);
    line->setAlignment(Qt::AlignCenter);
    line->setAutoFillBackground(true);
    line->setBackgroundRole(QPalette::Mid);
    const int height = QFontMetrics(bold).height() + 4;
    line->setGeometry(0, 0, window->width(), height);
    window->installEventFilter(new TitleLineKeeper(window, line));
    if (QLayout* layout = window->layout()) {
        QMargins margins = layout->contentsMargins();
        margins.setTop(margins.top() + height);
        layout->setContentsMargins(margins);
    }
    return height;
}
