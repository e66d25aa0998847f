// CWnd::SetTopmost and CWnd::SetOnAllDesktops: the window manager's standard (EWMH) hints, sent
// through xcb on X11 (Qt has no API for all desktops). Without X11 they do nothing.
#include "framework/Wnd.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include "framework/qt/WndImpl.h"

#if defined(OMBREL_HAVE_XCB) && QT_CONFIG(xcb)
#include "framework/qt/XcbProperties.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr uint32_t kRemove = 0, kAdd = 1; // _NET_WM_STATE actions
constexpr uint32_t kFromApplication = 1; // source indication: a normal application

// One window's wishes, kept so that they are sent again whenever the window is shown: a window
// manager drops a window's state when it is hidden.
class Hints : public QObject {
public:
    Hints(QWidget* widget, xcb_connection_t* c) : QObject(widget), m_widget(widget), m_c(c)
    {
        setObjectName(QStringLiteral("windowManagerHints"));
        widget->winId(); // the native window, to carry the hints before it is shown
        widget->installEventFilter(this);
        widget->windowHandle()->installEventFilter(this);
        m_exposed = widget->windowHandle()->isExposed();
    }

    static Hints* find(QWidget* widget)
    {
        return dynamic_cast<Hints*>(widget->findChild<QObject*>(QStringLiteral("windowManagerHints"), Qt::FindDirectChildrenOnly));
    }

    void set(bool above, bool on)
    {
        (above ? m_above : m_sticky) = on;
        if (m_widget->isVisible())
            send(above);
        else
            store(above);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A new native window (new flags, say) is a new window to the window manager.
        if (watched == m_widget && event->type() == QEvent::WinIdChange && m_widget->windowHandle()) {
            m_widget->windowHandle()->installEventFilter(this);
            m_exposed = false;
        }
        // Mapped now (again): the window manager manages the window and takes requests.
        if (auto* shown = qobject_cast<QWindow*>(watched); shown && event->type() == QEvent::Expose) {
            const bool exposed = shown->isExposed();
            if (exposed && !m_exposed) {
                if (m_above)
                    send(true);
                if (m_sticky)
                    send(false);
            }
            m_exposed = exposed;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    xcb_window_t window() const { return static_cast<xcb_window_t>(m_widget->winId()); }

    xcb_window_t root() const
    {
        return XcbRoot(m_c, window());
    }

    // A mapped window asks the window manager, which owns its state.
    void send(bool above)
    {
        const bool on = above ? m_above : m_sticky;
        const xcb_window_t rootWindow = root();
        const auto message = [&](const char* type, const std::array<uint32_t, 4>& data) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window();
            event.type = XcbAtom(m_c, type);
            std::copy(data.begin(), data.end(), event.data.data32);
            xcb_send_event(m_c, 0, rootWindow, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
        };
        const xcb_atom_t state = XcbAtom(m_c, above ? "_NET_WM_STATE_ABOVE" : "_NET_WM_STATE_STICKY");
        message("_NET_WM_STATE", {on ? kAdd : kRemove, state, 0, kFromApplication});
        if (!above) {
            // Off: back to the desktop being shown.
            const std::vector<uint32_t> current = XcbCardinals(m_c, rootWindow, XcbAtom(m_c, "_NET_CURRENT_DESKTOP"), XCB_ATOM_CARDINAL);
            message("_NET_WM_DESKTOP", {on ? kAllDesktops : (current.empty() ? 0 : current.front()), kFromApplication, 0, 0});
        }
        xcb_flush(m_c);
    }

    // A window not yet mapped carries its wishes as properties, which the window manager reads
    // as it maps the window.
    void store(bool above)
    {
        const bool on = above ? m_above : m_sticky;
        const xcb_atom_t stateProperty = XcbAtom(m_c, "_NET_WM_STATE");
        const xcb_atom_t state = XcbAtom(m_c, above ? "_NET_WM_STATE_ABOVE" : "_NET_WM_STATE_STICKY");
        const xcb_window_t self = window();
        std::vector<uint32_t> states = XcbCardinals(m_c, self, stateProperty, XCB_ATOM_ATOM);
        states.erase(std::remove(states.begin(), states.end(), state), states.end());
        if (on)
            states.push_back(state);
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, self, stateProperty, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(states.size()), states.data());
        if (!above) {
            const xcb_atom_t desktop = XcbAtom(m_c, "_NET_WM_DESKTOP");
            if (on)
                xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, self, desktop, XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
            else
                xcb_delete_property(m_c, self, desktop);
        }
        xcb_flush(m_c);
    }

    QWidget* m_widget;
    xcb_connection_t* m_c;
    bool m_above = false;
    bool m_sticky = false;
    bool m_exposed = false;
};

void setHint(const CWnd* wnd, bool above, bool on)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    WndImpl* impl = wnd->GetImpl();
    if (!x11 || !x11->connection() || !impl || !impl->widget)
        return;
    QWidget* window = impl->widget->window();
    Hints* hints = Hints::find(window);
    // Off where nothing was ever asked for: the window manager's default already.
    if (!hints && !on)
        return;
    (hints ? hints : new Hints(window, x11->connection()))->set(above, on);
}

} // namespace

void CWnd::SetTopmost(bool on)
{
    setHint(this, true, on);
}

void CWnd::SetOnAllDesktops(bool on)
{
    setHint(this, false, on);
}

#else

void CWnd::SetTopmost(bool) {}
void CWnd::SetOnAllDesktops(bool) {}

#endif
