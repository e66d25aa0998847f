// The month calendar of the clock window: a painted one-month grid with the neighbouring
// months' days in grey, reporting every user choice through NMHDR notifications.
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "core/WinTypes.h"
#include "core/CalendarMonth.h"

class QPainter;
class QTimer;

class QHelpEvent;
class DayTurn;

class MonthCalWidget : public QWidget {
    Q_OBJECT
public:
    explicit MonthCalWidget(QWidget* parent = nullptr);
    ~MonthCalWidget() override;

    using NotifyHandler = std::function<LRESULT(NMHDR*)>;
    // Installs the receiver of all notifications (called synchronously, in order). Installing it
    // counts as the control's creation: the widget immediately sends MCN_GETDAYSTATE for its months.
    void setNotifyHandler(NotifyHandler handler);
    void setControlId(unsigned id); // goes into NMHDR::idFrom
    // Masks for the months shown now, earliest first (at most three are used); repaints.
    bool setDayState(int count, const MONTHDAYSTATE* masks);
    SYSTEMTIME selection() const;
    // Selects `date` and shows its month without a notification; a month change clears the masks.
    void setSelection(const calendar::Date& date);
    // The weekday of the first column: 0 Sunday (the default), 1 Monday, ... The months on show
    // stay the same, so their day states do too.
    void setFirstWeekday(int weekday);
    int firstWeekday() const { return m_firstWeekday; }
    SYSTEMTIME firstVisibleMonth() const; // the leading (grey) month, day 1
    void refreshToday(); // re-reads today (the framework's day turn calls it)
    QSize sizeHint() const override;

    // Where things are, in widget coordinates (tests click them).
    QRect cellRect(int row, int column) const; // row 0..5, column 0..6 (from the first weekday)
    QRect previousArrowRect() const;
    QRect nextArrowRect() const;

    // Test seams.
    bool isBold(int row, int column) const;
    SYSTEMTIME today() const;
    // The selected date read out in full, e.g. "2026年12月6日 日曜日", a holiday's name after it.
    QString selectionText() const;

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Tracking { None, Day, PreviousArrow, NextArrow };

    struct Layout {
        QRect title; // the band between the arrows
        QRect previousArrow;
        QRect nextArrow;
        int left = 0; // grid origin and cell size
        int weekdayTop = 0;
        int gridTop = 0;
        int columnWidth = 0;
        int rowHeight = 0;
    };
    Layout layout() const;
    void paintTitle(QPainter& painter, const Layout& l) const;
    void paintWeekdays(QPainter& painter, const Layout& l) const;
    void paintDay(QPainter& painter, const QRectF& cell, const calendar::Date& date) const;
    int cellAt(const QPoint& pos) const; // grid index or -1
    // framework/qt/MonthCalToolTip.cpp: the title's era, or the handler's text for a day.
    void showToolTip(const QHelpEvent& help);

    calendar::YearMonth leadingMonth() const;
    bool isBoldDate(const calendar::Date& date) const;

    // Puts the selection on `date` (the shown month follows it) and sends, in order,
    // MCN_GETDAYSTATE when the months change, MCN_SELCHANGE when the date changes and
    // MCN_SELECT when `select`. False when a handler destroyed the widget.
    bool moveSelection(const calendar::Date& date, bool select);
    bool requestDayStates();
    bool sendSelection(UINT code);
    bool send(NMHDR& header);

    void stepFromArrow();

    NotifyHandler m_handler;
    unsigned m_controlId = 0;
    int m_firstWeekday = 0;
    calendar::YearMonth m_shown;
    calendar::Date m_selected;
    calendar::Date m_today;
    std::array<MONTHDAYSTATE, 3> m_dayStates{}; // leading, shown, trailing month
    Tracking m_tracking = Tracking::None;
    QPoint m_lastMousePos;
    QTimer* m_repeatTimer = nullptr;
    std::shared_ptr<DayTurn> m_dayTurn;
};
