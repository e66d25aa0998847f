// A timer that fires on wall-clock boundaries (every whole minute, say), and keeps doing so
// across suspend and clock changes. Qt-side helper of the framework layer.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

class QSocketNotifier;

class WallClockTimer : public QObject {
    Q_OBJECT
public:
    WallClockTimer(std::chrono::milliseconds period, QObject* parent = nullptr);
    ~WallClockTimer() override;

signals:
    void timeout();

private:
    void arm();
    void fired();

    std::chrono::milliseconds m_period;
    int m_fd = -1; // Linux: a CLOCK_REALTIME timerfd, which also wakes after resume and on clock changes
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_fallback; // elsewhere: a single-shot timer re-aimed at every tick
};
