// The month calendar's geometry and painting: the layout of title band, weekday row and six
// weeks from the font, and the steps that paint them from the palette.
#include "framework/qt/MonthCalWidget.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <chrono>

#include "core/JapaneseHolidays.h"

using calendar::Date;
using calendar::YearMonth;

namespace {

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

QColor blend(const QColor& a, const QColor& b, qreal share)
{
    return QColor::fromRgbF(a.redF() * (1 - share) + b.redF() * share, a.greenF() * (1 - share) + b.greenF() * share,
                            a.blueF() * (1 - share) + b.blueF() * share);
}

// As on printed Japanese calendars: Sundays and holidays red, Saturdays blue. The shades keep
// at least 3:1 against a light background (white: 6:1 and 8:1) and against a dark one (black:
// 8:1 both); the neighbouring months' days take them paler, as their other days are grey.
QColor dayColour(const QPalette& palette, const calendar::Date& date, bool inShownMonth)
{
    const QColor base = palette.color(QPalette::Base);
    const bool dark = base.lightness() < 128;
    const int weekday = calendar::dayOfWeek(date);
    // A holiday on a Saturday is red too.
    const bool holiday = jcal::HolidayOn(std::chrono::year_month_day{std::chrono::year(date.year),
                                                                     std::chrono::month(unsigned(date.month)),
                                                                     std::chrono::day(unsigned(date.day))})
                             .has_value();
    if (weekday != 0 && weekday != 6 && !holiday)
        return inShownMonth ? palette.color(QPalette::Text) : greyText(palette);
    const QColor colour = weekday == 6 && !holiday ? (dark ? QColor(128, 176, 255) : QColor(0, 64, 200))
                                                   : (dark ? QColor(255, 128, 128) : QColor(200, 0, 0));
    return inShownMonth ? colour : blend(colour, base, 0.45);
}

} // namespace

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

void MonthCalWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout l = layout();
    paintTitle(painter, l);
    paintWeekdays(painter, l);
    const auto grid = calendar::monthGrid(m_shown, m_firstWeekday);
    for (int i = 0; i < calendar::kGridCells; ++i) {
        const QRectF cell(l.left + (i % calendar::kWeekdays) * l.columnWidth,
                          l.gridTop + (i / calendar::kWeekdays) * l.rowHeight, l.columnWidth, l.rowHeight);
        paintDay(painter, cell, grid[static_cast<std::size_t>(i)]);
    }
}

// Title band: arrows at the sides, "2026年12月" between them.
void MonthCalWidget::paintTitle(QPainter& painter, const Layout& l) const
{
    const QColor text = palette().color(QPalette::Text);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(text);
    painter.drawText(l.title, Qt::AlignCenter, titleText(m_shown));
    const qreal arm = QFontMetricsF(font()).height() * 0.35;
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
}

// Weekday letters over a thin rule.
void MonthCalWidget::paintWeekdays(QPainter& painter, const Layout& l) const
{
    painter.setFont(font());
    // 日 and 土 in the colours of their days, taken from a week without holidays (8-14 Jan 2023).
    for (int column = 0; column < calendar::kWeekdays; ++column) {
        const QRect cell(l.left + column * l.columnWidth, l.weekdayTop, l.columnWidth, l.rowHeight);
        const int weekday = (m_firstWeekday + column) % calendar::kWeekdays;
        const bool weekend = weekday == 0 || weekday == 6;
        painter.setPen(weekend ? dayColour(palette(), {2023, 1, 8 + weekday}, true) : palette().color(QPalette::Text));
        painter.drawText(cell, Qt::AlignCenter, weekdayLetter(weekday));
    }
    const int inset = l.columnWidth / 4;
    painter.fillRect(QRectF(l.left + inset, l.gridTop - 1, calendar::kWeekdays * l.columnWidth - 2 * inset, 1),
                     greyText(palette()));
}

// One day: the selection's fill, today's ring, and the number (bold with a topic, coloured by
// the kind of day, paler outside the shown month).
void MonthCalWidget::paintDay(QPainter& painter, const QRectF& cell, const Date& date) const
{
    const QPalette& pal = palette();
    const bool selected = date == m_selected;
    if (selected) {
        const qreal radius = std::min(cell.width(), cell.height()) / 6;
        painter.setPen(Qt::NoPen);
        painter.setBrush(pal.color(QPalette::Highlight));
        painter.drawRoundedRect(cell.adjusted(1, 1, -1, -1), radius, radius);
    }
    if (date == m_today) {
        painter.setPen(QPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Highlight), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(cell.adjusted(1.5, 1.5, -1.5, -1.5));
    }
    QFont face = font();
    face.setBold(isBoldDate(date));
    painter.setFont(face);
    painter.setPen(selected ? pal.color(QPalette::HighlightedText) : dayColour(pal, date, date.yearMonth() == m_shown));
    painter.drawText(cell, Qt::AlignCenter, QString::number(date.day));
}
