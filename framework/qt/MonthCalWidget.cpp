#include "framework/qt/MonthCalWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <utility>

#include "core/Time.h"

using calendar::Date;
using calendar::YearMonth;

namespace {

constexpr int kArrowRepeatMs = 350;
constexpr int kMonthsShown = 3;

const QString& weekdayLetter(int weekday)
{
    static const QString kLetters[calendar::kWeekdays] = {
        QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")};
    return kLetters[weekday];
}

QString titleText(YearMonth ym)
{
    return QStringLiteral("%1年%2月").arg(ym.year).arg(ym.month);
}

QColor greyText(const QPalette& palette)
{
    // Some styles leave the disabled text colour equal to the normal one; the placeholder
    // colour is then the palette's own idea of "dimmed".
    const QColor disabled = palette.color(QPalette::Disabled, QPalette::Text);
    return disabled != palette.color(QPalette::Text) ? disabled : palette.color(QPalette::PlaceholderText);
}

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
    : QWidget(parent), m_repeatTimer(new QTimer(this)), m_midnightTimer(new QTimer(this))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent fills every pixel

    m_repeatTimer->setInterval(kArrowRepeatMs);
    connect(m_repeatTimer, &QTimer::timeout, this, &MonthCalWidget::stepFromArrow);
    m_midnightTimer->setSingleShot(true);
    // A coarse timer may fire minutes early on a day-long interval.
    m_midnightTimer->setTimerType(Qt::PreciseTimer);
    connect(m_midnightTimer, &QTimer::timeout, this, &MonthCalWidget::refreshToday);

    m_today = todayFromClock();
    m_selected = m_today;
    m_shown = m_today.yearMonth();
    armMidnightTimer();
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
    armMidnightTimer();
}

void MonthCalWidget::armMidnightTimer()
{
    using namespace std::chrono;
    const system_clock::time_point now = CTime::Now();
    const std::tm local = CTime(system_clock::to_time_t(now)).GetLocalTm();
    // mktime rolls day 32 into the next month and finds midnight across DST changes.
    const CTime midnight(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday + 1, 0, 0, 0);
    const auto wait = duration_cast<milliseconds>(system_clock::from_time_t(midnight.GetTime()) - now);
    const long long limit = duration_cast<milliseconds>(hours(25)).count();
    m_midnightTimer->start(static_cast<int>(std::clamp<long long>(wait.count(), 1, limit)));
}

QString MonthCalWidget::selectionText() const
{
    static const QString kWeekdayNames[calendar::kWeekdays] = {
        QStringLiteral("日曜日"), QStringLiteral("月曜日"), QStringLiteral("火曜日"), QStringLiteral("水曜日"),
        QStringLiteral("木曜日"), QStringLiteral("金曜日"), QStringLiteral("土曜日")};
    return QStringLiteral("%1年%2月%3日 %4")
        .arg(m_selected.year)
        .arg(m_selected.month)
        .arg(m_selected.day)
        .arg(kWeekdayNames[calendar::dayOfWeek(m_selected)]);
}

// ---- layout -------------------------------------------------------------------------------

MonthCalWidget::Layout MonthCalWidget::layout() const
{
    const int lineHeight = QFontMetrics(font()).height();
    Layout l;
    l.columnWidth = std::max(1, width() / calendar::kWeekdays);
    l.left = (width() - calendar::kWeekdays * l.columnWidth) / 2;
    // The weekday row and the six weeks share one row height; the title band takes what is
    // left, so the grid never runs past the bottom edge whatever box the dialog gives us.
    const int separator = 1;
    const int preferredTitle = lineHeight + lineHeight / 3;
    l.rowHeight = std::max(1, (height() - preferredTitle - separator) / (calendar::kWeekRows + 1));
    const int titleHeight = std::max(0, height() - separator - (calendar::kWeekRows + 1) * l.rowHeight);
    l.weekdayTop = titleHeight;
    l.gridTop = titleHeight + l.rowHeight + separator;

    const int arrowWidth = std::min(l.columnWidth + l.columnWidth / 2, width() / 4);
    const int right = l.left + calendar::kWeekdays * l.columnWidth;
    l.previousArrow = QRect(l.left, 0, arrowWidth, titleHeight);
    l.nextArrow = QRect(right - arrowWidth, 0, arrowWidth, titleHeight);
    l.title = QRect(l.previousArrow.right() + 1, 0, l.nextArrow.left() - l.previousArrow.right() - 1, titleHeight);
    return l;
}

QSize MonthCalWidget::sizeHint() const
{
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(font());
    const QFontMetrics boldFm(bold);
    const int lineHeight = fm.height();
    const int textWidth = std::max(boldFm.horizontalAdvance(QStringLiteral("00")),
                                   fm.horizontalAdvance(weekdayLetter(3)));
    const int column = textWidth + std::max(2, lineHeight / 4);
    const int row = lineHeight + std::max(2, lineHeight / 5);
    const int title = lineHeight + lineHeight / 2;
    const int titleWidth = boldFm.horizontalAdvance(titleText({2000, 12})) + 2 * (column + column / 2);
    return {std::max(calendar::kWeekdays * column, titleWidth), title + 1 + (calendar::kWeekRows + 1) * row};
}

QRect MonthCalWidget::cellRect(int row, int column) const
{
    if (row < 0 || row >= calendar::kWeekRows || column < 0 || column >= calendar::kWeekdays)
        return {};
    const Layout l = layout();
    return {l.left + column * l.columnWidth, l.gridTop + row * l.rowHeight, l.columnWidth, l.rowHeight};
}

QRect MonthCalWidget::previousArrowRect() const
{
    return layout().previousArrow;
}

QRect MonthCalWidget::nextArrowRect() const
{
    return layout().nextArrow;
}

int MonthCalWidget::cellAt(const QPoint& pos) const
{
    const Layout l = layout();
    const int x = pos.x() - l.left;
    const int y = pos.y() - l.gridTop;
    if (x < 0 || y < 0)
        return -1;
    const int column = x / l.columnWidth;
    const int row = y / l.rowHeight;
    if (column >= calendar::kWeekdays || row >= calendar::kWeekRows)
        return -1;
    return row * calendar::kWeekdays + column;
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
    return isBoldDate(calendar::monthGrid(m_shown)[static_cast<std::size_t>(row * calendar::kWeekdays + column)]);
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
        if (index >= 0 && !moveSelection(calendar::monthGrid(m_shown)[static_cast<std::size_t>(index)], true))
            return;
    }
    NMHDR released;
    released.code = NM_RELEASEDCAPTURE;
    send(released);
}

bool MonthCalWidget::event(QEvent* event)
{
    // Tab belongs to the dialog; QWidget would otherwise move the focus itself and eat it.
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

// ---- painting -----------------------------------------------------------------------------

void MonthCalWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    const Layout l = layout();
    const QColor text = pal.color(QPalette::Text);
    const QColor grey = greyText(pal);
    const QColor highlight = pal.color(QPalette::Highlight);
    const QColor highlightedText = pal.color(QPalette::HighlightedText);
    const QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);

    painter.fillRect(rect(), pal.color(QPalette::Base));
    painter.setRenderHint(QPainter::Antialiasing);

    // Title band: arrows at the sides, "2026年12月" between them.
    painter.setFont(bold);
    painter.setPen(text);
    painter.drawText(l.title, Qt::AlignCenter, titleText(m_shown));
    const qreal arm = QFontMetricsF(normal).height() * 0.35;
    for (const int direction : {-1, 1}) {
        const QPointF c = QRectF(direction < 0 ? l.previousArrow : l.nextArrow).center();
        const qreal tip = direction * arm * 0.5;
        QPainterPath arrow;
        arrow.moveTo(c.x() + tip, c.y());
        arrow.lineTo(c.x() - tip, c.y() - arm);
        arrow.lineTo(c.x() - tip, c.y() + arm);
        arrow.closeSubpath();
        painter.fillPath(arrow, text);
    }

    // Weekday letters over a thin rule.
    painter.setFont(normal);
    for (int column = 0; column < calendar::kWeekdays; ++column) {
        const QRect cell(l.left + column * l.columnWidth, l.weekdayTop, l.columnWidth, l.rowHeight);
        painter.drawText(cell, Qt::AlignCenter, weekdayLetter(column));
    }
    const int inset = l.columnWidth / 4;
    painter.fillRect(QRectF(l.left + inset, l.gridTop - 1, calendar::kWeekdays * l.columnWidth - 2 * inset, 1), grey);

    // Days.
    const auto grid = calendar::monthGrid(m_shown);
    for (int i = 0; i < calendar::kGridCells; ++i) {
        const Date& date = grid[static_cast<std::size_t>(i)];
        const QRectF cell(l.left + (i % calendar::kWeekdays) * l.columnWidth,
                          l.gridTop + (i / calendar::kWeekdays) * l.rowHeight, l.columnWidth, l.rowHeight);
        const bool selected = date == m_selected;
        const qreal radius = std::min(cell.width(), cell.height()) / 6;
        if (selected) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(highlight);
            painter.drawRoundedRect(cell.adjusted(1, 1, -1, -1), radius, radius);
        }
        if (date == m_today) {
            painter.setPen(QPen(selected ? highlightedText : highlight, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(cell.adjusted(1.5, 1.5, -1.5, -1.5));
        }
        painter.setFont(isBoldDate(date) ? bold : normal);
        painter.setPen(selected ? highlightedText : date.yearMonth() == m_shown ? text : grey);
        painter.drawText(cell, Qt::AlignCenter, QString::number(date.day));
    }
}
