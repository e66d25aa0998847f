#include "framework/qt/MonthCalWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <utility>

#include "core/JapaneseHolidays.h"
#include "core/Time.h"
#include "framework/qt/DayTurn.h"

using calendar::Date;
using calendar::YearMonth;

namespace {

constexpr int kArrowRepeatMs = 350;
constexpr int kMonthsShown = 3;


// Screen readers get the selected date as the control's value.
class MonthCalAccessible : public QAccessibleWidget {
public:
    explicit MonthCalAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return static_cast<const MonthCalWidget*>(widget())->selectionText();
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty())
            text = QStringLiteral("カレンダー");
        return text;
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("MonthCalWidget") && object && object->isWidgetType())
        return new MonthCalAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

Date todayFromClock()
{
    const CTime now = CTime::GetCurrentTime();
    return {now.GetYear(), now.GetMonth(), now.GetDay()};
}

} // namespace

MonthCalWidget::MonthCalWidget(QWidget* parent)
    : QWidget(parent), m_repeatTimer(new QTimer(this)), m_dayTurn(DayTurn::acquire())
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent fills every pixel

    m_repeatTimer->setObjectName(QStringLiteral("arrowRepeat"));
    m_repeatTimer->setInterval(kArrowRepeatMs);
    connect(m_repeatTimer, &QTimer::timeout, this, &MonthCalWidget::stepFromArrow);
    // The wall clock's date, also after a suspend or a clock change.
    connect(m_dayTurn.get(), &DayTurn::turned, this, &MonthCalWidget::refreshToday);

    m_today = todayFromClock();
    m_selected = m_today;
    m_shown = m_today.yearMonth();
}

MonthCalWidget::~MonthCalWidget() = default;

void MonthCalWidget::setNotifyHandler(NotifyHandler handler)
{
    m_handler = std::move(handler);
    requestDayStates();
}

void MonthCalWidget::setControlId(unsigned id)
{
    m_controlId = id;
}

bool MonthCalWidget::setDayState(int count, const MONTHDAYSTATE* masks)
{
    if (count < 0 || (count > 0 && !masks))
        return false;
    std::copy_n(masks, std::min(count, kMonthsShown), m_dayStates.begin());
    update();
    return true;
}

SYSTEMTIME MonthCalWidget::selection() const
{
    return calendar::toSystemTime(m_selected);
}

void MonthCalWidget::setSelection(const Date& date)
{
    if (date.yearMonth() != m_shown) {
        m_shown = date.yearMonth();
        m_dayStates.fill(0); // they were the old months'
    }
    if (date != m_selected) {
        m_selected = date;
        QAccessibleValueChangeEvent event(this, selectionText());
        QAccessible::updateAccessibility(&event);
    }
    update();
}

SYSTEMTIME MonthCalWidget::firstVisibleMonth() const
{
    const YearMonth lead = leadingMonth();
    return calendar::toSystemTime({lead.year, lead.month, 1});
}

SYSTEMTIME MonthCalWidget::today() const
{
    return calendar::toSystemTime(m_today);
}

void MonthCalWidget::refreshToday()
{
    const Date now = todayFromClock();
    if (now != m_today) {
        m_today = now;
        update();
    }
}

void MonthCalWidget::setFirstWeekday(int weekday)
{
    m_firstWeekday = ((weekday % calendar::kWeekdays) + calendar::kWeekdays) % calendar::kWeekdays;
    update();
}

QString MonthCalWidget::selectionText() const
{
    static const QString kWeekdayNames[calendar::kWeekdays] = {
        QStringLiteral("日曜日"), QStringLiteral("月曜日"), QStringLiteral("火曜日"), QStringLiteral("水曜日"),
        QStringLiteral("木曜日"), QStringLiteral("金曜日"), QStringLiteral("土曜日")};
    QString text = QStringLiteral("%1年%2月%3日 %4")
                       .arg(m_selected.year)
                       .arg(m_selected.month)
                       .arg(m_selected.day)
                       .arg(kWeekdayNames[calendar::dayOfWeek(m_selected)]);
    const auto holiday = jcal::HolidayOn(std::chrono::year(m_selected.year) / m_selected.month / m_selected.day);
    return holiday ? text + ' ' + QString::fromUtf8(holiday->name.data(), qsizetype(holiday->name.size())) : text;
}

// ---- day states ---------------------------------------------------------------------------

YearMonth MonthCalWidget::leadingMonth() const
{
    return calendar::addMonths(m_shown, -1);
}

bool MonthCalWidget::isBoldDate(const Date& date) const
{
    const YearMonth ym = date.yearMonth();
    for (int i = 0; i < kMonthsShown; ++i) {
        if (ym == calendar::addMonths(m_shown, i - 1))
            return (m_dayStates[static_cast<std::size_t>(i)] >> (date.day - 1)) & 1u;
    }
    return false;
}

bool MonthCalWidget::isBold(int row, int column) const
{
    if (row < 0 || row >= calendar::kWeekRows || column < 0 || column >= calendar::kWeekdays)
        return false;
    return isBoldDate(calendar::monthGrid(m_shown, m_firstWeekday)[static_cast<std::size_t>(row * calendar::kWeekdays + column)]);
}

bool MonthCalWidget::requestDayStates()
{
    m_dayStates.fill(0);
    update();
    NMDAYSTATE request;
    request.nmhdr.code = MCN_GETDAYSTATE;
    request.stStart = firstVisibleMonth();
    request.cDayState = kMonthsShown;
    request.prgDayState = nullptr;
    if (!send(request.nmhdr))
        return false;
    // The handler may also have called setDayState(); a null pointer leaves that in place.
    if (request.prgDayState) {
        const int count = std::clamp(request.cDayState, 0, kMonthsShown);
        std::copy_n(request.prgDayState, count, m_dayStates.begin());
    }
    return true;
}

// ---- notifications ------------------------------------------------------------------------

bool MonthCalWidget::send(NMHDR& header)
{
    if (!m_handler)
        return true;
    header.hwndFrom = this;
    header.idFrom = m_controlId;
    QPointer<MonthCalWidget> alive(this);
    // A copy, so a handler that installs another handler does not destroy the running one.
    const NotifyHandler handler = m_handler;
    handler(&header);
    return !alive.isNull();
}

bool MonthCalWidget::sendSelection(UINT code)
{
    NMSELCHANGE change;
    change.nmhdr.code = code;
    change.stSelStart = selection();
    change.stSelEnd = change.stSelStart;
    return send(change.nmhdr);
}

bool MonthCalWidget::moveSelection(const Date& date, bool select)
{
    const bool monthChanged = date.yearMonth() != m_shown;
    const bool dateChanged = date != m_selected;
    m_shown = date.yearMonth();
    m_selected = date;
    if (dateChanged) {
        update();
        QAccessibleValueChangeEvent event(this, selectionText());
        QAccessible::updateAccessibility(&event);
    }
    if (monthChanged && !requestDayStates())
        return false;
    if (dateChanged && !sendSelection(MCN_SELCHANGE))
        return false;
    if (select && !sendSelection(MCN_SELECT))
        return false;
    return true;
}

// ---- input --------------------------------------------------------------------------------

void MonthCalWidget::stepFromArrow()
{
    const Layout l = layout();
    int step = 0;
    if (m_tracking == Tracking::PreviousArrow && l.previousArrow.contains(m_lastMousePos))
        step = -1;
    else if (m_tracking == Tracking::NextArrow && l.nextArrow.contains(m_lastMousePos))
        step = 1;
    // Held but dragged off the arrow: wait until the pointer comes back.
    if (step != 0)
        moveSelection(calendar::addMonthsClamped(m_selected, step), false);
}

void MonthCalWidget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_tracking != Tracking::None)
        return;
    m_lastMousePos = event->position().toPoint();
    const Layout l = layout();
    if (l.previousArrow.contains(m_lastMousePos))
        m_tracking = Tracking::PreviousArrow;
    else if (l.nextArrow.contains(m_lastMousePos))
        m_tracking = Tracking::NextArrow;
    else if (cellAt(m_lastMousePos) >= 0)
        m_tracking = Tracking::Day;
    else
        return; // title text and weekday row do nothing

    if (m_tracking != Tracking::Day) {
        QPointer<MonthCalWidget> alive(this);
        stepFromArrow();
        if (alive && m_tracking != Tracking::None)
            m_repeatTimer->start();
    }
}

void MonthCalWidget::mouseMoveEvent(QMouseEvent* event)
{
    m_lastMousePos = event->position().toPoint();
    event->accept();
}

void MonthCalWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_tracking == Tracking::None)
        return;
    const Tracking tracking = std::exchange(m_tracking, Tracking::None);
    m_repeatTimer->stop();
    if (tracking == Tracking::Day) {
        const int index = cellAt(event->position().toPoint());
        if (index >= 0 && !moveSelection(calendar::monthGrid(m_shown, m_firstWeekday)[static_cast<std::size_t>(index)], true))
            return;
    }
    NMHDR released;
    released.code = NM_RELEASEDCAPTURE;
    send(released);
}

bool MonthCalWidget::event(QEvent* event)
{
    // Tab belongs to the dialog; QWidget would otherwise move the focus itself and eat it.
    if (event->type() == QEvent::ToolTip) {
        showToolTip(*static_cast<QHelpEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            event->ignore();
            return false;
        }
    }
    return QWidget::event(event);
}

void MonthCalWidget::keyPressEvent(QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    Date target;
    switch (event->key()) {
    case Qt::Key_Left:
        target = calendar::addDays(m_selected, -1);
        break;
    case Qt::Key_Right:
        target = calendar::addDays(m_selected, 1);
        break;
    case Qt::Key_Up:
        target = calendar::addDays(m_selected, -calendar::kWeekdays);
        break;
    case Qt::Key_Down:
        target = calendar::addDays(m_selected, calendar::kWeekdays);
        break;
    case Qt::Key_PageUp:
        target = calendar::addMonthsClamped(m_selected, -1);
        break;
    case Qt::Key_PageDown:
        target = calendar::addMonthsClamped(m_selected, 1);
        break;
    case Qt::Key_Home:
        target = {m_selected.year, m_selected.month, 1};
        break;
    case Qt::Key_End:
        target = {m_selected.year, m_selected.month, calendar::daysInMonth(m_selected.yearMonth())};
        break;
    default:
        // Enter, Escape and the rest go on to the dialog.
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    moveSelection(target, false);
}

void MonthCalWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
