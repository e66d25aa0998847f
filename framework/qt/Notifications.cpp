// Desktop notifications through org.freedesktop.Notifications: the session bus looked for once,
// the service's markup asked once, every call answered asynchronously, clicks routed back.
#include "framework/qt/Notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QTimer>
#include <QVariantMap>

#include "framework/Notification.h"
#include "framework/Wnd.h"
#include "framework/qt/WndImpl.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage serviceCall(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

// Where a session bus would be, short of starting one: without an address the D-Bus library
// would launch a bus of its own for the display, where no notification service runs.
bool sessionBusKnown()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

} // namespace

DesktopNotifications& DesktopNotifications::instance()
{
    static auto* notifications = new DesktopNotifications; // for the life of the process
    return *notifications;
}

void DesktopNotifications::show(Request request)
{
    // Connecting to the bus waits for it: not while the window is being put up.
    QTimer::singleShot(0, this, [this, request] { send(request); });
}

bool DesktopNotifications::connectBus()
{
    if (m_bus == Bus::Unknown) {
        m_bus = Bus::Absent;
        if (!sessionBusKnown())
            return false;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        // From any sender: naming the service would make Qt look up its owner, and wait.
        bus.connect(QString(), kPath, kService, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(QString(), kPath, kService, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
        m_bus = Bus::Present;
    }
    return m_bus == Bus::Present;
}

void DesktopNotifications::send(Request request)
{
    if (!request.owner || !connectBus())
        return;
    if (m_markup) {
        notify(request);
        return;
    }
    // Whether the body is read as markup decides whether "<" and "&" must be escaped.
    auto* call = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(serviceCall("GetCapabilities")), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, request](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QStringList> reply = *call;
        if (reply.isError()) // no service
            return;
        m_markup = reply.value().contains(QStringLiteral("body-markup"));
        notify(request);
    });
}

void DesktopNotifications::notify(Request request)
{
    if (!request.owner)
        return;
    QString body = request.body;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (*m_markup)
        body = body.toHtmlEscaped();
    QDBusMessage message = serviceCall(QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("ombrelclock")}};
    message << QStringLiteral("OmbrelClock") << 0u << QStringLiteral("ombrelclock") << request.summary << body
            << QStringList{QStringLiteral("default"), QStringLiteral("開く")} << hints << -1;
    auto* call = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, request](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isError() || !request.owner)
            return;
        m_shown[reply.value()] = request;
        if (request.accepted)
            request.accepted();
    });
}

void DesktopNotifications::actionInvoked(uint id, const QString& action)
{
    const auto shown = m_shown.find(id);
    if (shown == m_shown.end() || action != QLatin1String("default"))
        return;
    const Request request = shown->second;
    m_shown.erase(shown);
    if (request.owner && request.activated)
        request.activated();
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    m_shown.erase(id);
}

void AfxShowNotification(CWnd* owner, const char* summary, const char* body, std::function<void()> accepted,
                         std::function<void()> activated)
{
    WndImpl* impl = owner ? owner->GetImpl() : nullptr;
    if (!impl || !impl->widget)
        return;
    DesktopNotifications::instance().show({impl->widget, QString::fromUtf8(summary ? summary : ""),
                                           QString::fromUtf8(body ? body : ""), std::move(accepted),
                                           std::move(activated)});
}
