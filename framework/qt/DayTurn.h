// The framework's one "the date changed" event: a wall-clock timer aimed at the next local
// midnight, re-aimed after a clock change or a resume. Everything that shows today shares it.
#pragma once

#include <QObject>

#include <memory>

#include "core/CalendarMonth.h"

class WallClockTimer;

class DayTurn : public QObject {
    Q_OBJECT
public:
    // The shared event; it lives while someone holds it.
    static std::shared_ptr<DayTurn> acquire();
    ~DayTurn() override;

signals:
    // The local date is no longer the one of the last turn (or of the first holder's start).
    void turned();

private:
    DayTurn();
    void check();

    WallClockTimer* m_timer; // a child; tests stand for a clock change through its clockWasSet
    calendar::Date m_today;
};
