#include "framework/qt/WallClockTimer.h"

#include <QSocketNotifier>

#include "core/Time.h"
#include "core/WallClock.h"

#if defined(__linux__)
#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

using namespace std::chrono;

WallClockTimer::WallClockTimer(milliseconds period, QObject* parent)
    : WallClockTimer([period](system_clock::time_point now) { return DelayToNextBoundary(now, period); }, parent)
{
}

WallClockTimer::WallClockTimer(Delay delayToNext, QObject* parent) : QObject(parent), m_delay(std::move(delayToNext))
{
#if defined(__linux__)
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &WallClockTimer::fired);
    }
#endif
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &WallClockTimer::fired);
    arm();
}

WallClockTimer::~WallClockTimer()
{
#if defined(__linux__)
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void WallClockTimer::arm()
{
    // The boundary comes from the program's clock (tests pin it); the system's real time, which
    // is the same clock outside tests, places it on the timer.
    const auto wait = m_delay(CTime::Now());
#if defined(__linux__)
    if (m_fd >= 0) {
        // An absolute CLOCK_REALTIME expiry fires on time after a suspend, and CANCEL_ON_SET
        // wakes us when the clock is set so the next boundary can be recomputed.
        const auto next = duration_cast<nanoseconds>((system_clock::now() + wait).time_since_epoch());
        itimerspec expiry{};
        expiry.it_value.tv_sec = static_cast<time_t>(next.count() / 1000000000);
        expiry.it_value.tv_nsec = static_cast<long>(next.count() % 1000000000);
        if (::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr) == 0)
            return;
        m_notifier->setEnabled(false);
        ::close(m_fd);
        m_fd = -1;
    }
#endif
    m_fallback.start(duration_cast<milliseconds>(wait) + milliseconds(1));
}

void WallClockTimer::fired()
{
    bool tick = true;
#if defined(__linux__)
    if (m_fd >= 0) {
        std::uint64_t expirations = 0;
        const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
        if (n < 0 && errno == ECANCELED) {
            clockWasSet();
            return;
        }
        // EAGAIN: a spurious wake-up; nothing to do but re-aim.
        tick = n == static_cast<ssize_t>(sizeof expirations);
    }
#endif
    arm();
    if (tick)
        emit timeout();
}

void WallClockTimer::clockWasSet()
{
    arm();
    emit timeout();
}
