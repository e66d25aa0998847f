// A timer that fires on wall-clock boundaries (every whole minute, every midnight), and keeps
// doing so across suspend and clock changes. Qt-side helper of the framework layer.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

class QSocketNotifier;

class WallClockTimer : public QObject {
    Q_OBJECT
public:
    // Time from a given instant to the next boundary.
    using Delay = std::function<std::chrono::system_clock::duration(std::chrono::system_clock::time_point)>;

    // On every multiple of `period` since the epoch.
    WallClockTimer(std::chrono::milliseconds period, QObject* parent = nullptr);
    WallClockTimer(Delay delayToNext, QObject* parent = nullptr);
    ~WallClockTimer() override;

    // The wall clock was set (or the machine resumed past a boundary): ticks at once, since the
    // title may be stale, and aims at the next boundary of the new time. The timer calls it when
    // the system says so; tests call it to stand for a clock change, which they cannot make.
    Q_INVOKABLE void clockWasSet();

signals:
    void timeout();

private:
    void arm();
    void fired();

    Delay m_delay;
    int m_fd = -1; // Linux: a CLOCK_REALTIME timerfd, which also wakes after resume and on clock changes
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_fallback; // elsewhere: a single-shot timer re-aimed at every tick
};
