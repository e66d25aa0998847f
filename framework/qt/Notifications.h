// The Qt side of AfxShowNotification: calls to org.freedesktop.Notifications on the session bus
// (Qt D-Bus), asynchronous all the way, and the activations that come back.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>

class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    struct Request {
        QPointer<QWidget> owner;
        QString summary;
        QString body;
        std::function<void()> accepted;
        std::function<void()> activated;
    };

    static DesktopNotifications& instance();
    // Sends `request` from the event loop, once it has come round.
    void show(Request request);

private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    DesktopNotifications() = default;
    bool connectBus();
    void send(Request request);
    void notify(Request request);

    enum class Bus { Unknown, Absent, Present };
    Bus m_bus = Bus::Unknown;
    std::optional<bool> m_markup; // whether the service reads markup in bodies, once asked
    std::map<uint, Request> m_shown; // by the service's id, until closed
};
