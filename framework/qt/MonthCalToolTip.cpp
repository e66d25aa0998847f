// The month calendar's tooltips: over the title the month's era, over a day whatever the
// program says of it (asked for with MCN_GETDAYTEXT, as day states are).
#include "framework/qt/MonthCalWidget.h"

#include <QHelpEvent>
#include <QToolTip>

#include <array>
#include <chrono>

#include "core/JapaneseEras.h"

void MonthCalWidget::showToolTip(const QHelpEvent& help)
{
    const Layout l = layout();
    QString text;
    QRect area;
    if (l.title.contains(help.pos())) {
        text = QString::fromStdString(jcal::FormatEraMonth(std::chrono::year(m_shown.year) / m_shown.month));
        area = l.title;
    } else if (const int index = cellAt(help.pos()); index >= 0) {
        std::array<char, 2048> buffer{};
        NMDAYTEXT request;
        request.nmhdr.code = MCN_GETDAYTEXT;
        request.stDay = calendar::toSystemTime(calendar::monthGrid(m_shown, m_firstWeekday)[static_cast<std::size_t>(index)]);
        request.pszText = buffer.data();
        request.cchTextMax = static_cast<int>(buffer.size());
        if (!send(request.nmhdr))
            return;
        buffer.back() = '\0'; // whatever the handler did
        text = QString::fromUtf8(buffer.data());
        area = cellRect(index / calendar::kWeekdays, index % calendar::kWeekdays);
    }
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help.globalPos(), text, this, area);
}
