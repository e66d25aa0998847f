// The day turn shared by the calendar and every dialog: one midnight timer on the wall clock,
// and the date it last saw.
#include "framework/qt/DayTurn.h"

#include "core/Time.h"
#include "core/WallClock.h"
#include "framework/qt/WallClockTimer.h"

namespace {

calendar::Date today()
{
    const CTime now = CTime::GetCurrentTime();
    return {now.GetYear(), now.GetMonth(), now.GetDay()};
}

} // namespace

std::shared_ptr<DayTurn> DayTurn::acquire()
{
    static std::weak_ptr<DayTurn> shared;
    std::shared_ptr<DayTurn> turn = shared.lock();
    if (!turn) {
        turn.reset(new DayTurn);
        shared = turn;
    }
    return turn;
}

DayTurn::DayTurn() : m_timer(new WallClockTimer(DelayToNextMidnight, this)), m_today(today())
{
    m_timer->setObjectName(QStringLiteral("dayTurn"));
    connect(m_timer, &WallClockTimer::timeout, this, &DayTurn::check);
}

DayTurn::~DayTurn() = default;

void DayTurn::check()
{
    // A clock set within the day wakes the timer too; only another date is a turn.
    const calendar::Date now = today();
    if (now == m_today)
        return;
    m_today = now;
    emit turned();
}
