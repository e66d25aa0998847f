#include "framework/qt/CaptionBar.h"

#include "framework/qt/CaptionColours.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWindow>

CaptionBar::CaptionBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("caption"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CaptionBar::setTitle(const QString& title)
{
    if (title == m_title)
        return;
    m_title = title;
    update();
}

void CaptionBar::setIcon(const QIcon& icon)
{
    m_icon = icon;
    update();
}

int CaptionBar::preferredHeight() const
{
    return qMax(16, fontMetrics().height()) + 6;
}

QRect CaptionBar::iconRect() const
{
    const int side = 16;
    return QRect(3, (height() - side) / 2, side, side);
}

QRect CaptionBar::closeRect() const
{
    const int side = height() - 6;
    return QRect(width() - side - 3, 3, side, side);
}

// Worked out again only when the palette or the focus changed, not at every minute's repaint.
const CaptionColours& CaptionBar::coloursFor(const QPalette& palette, bool active)
{
    if (palette.cacheKey() != m_coloursPalette || active != m_coloursActive) {
        m_colours = MakeCaptionColours(palette, active);
        m_coloursPalette = palette.cacheKey();
        m_coloursActive = active;
    }
    return m_colours;
}

void CaptionBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const CaptionColours& colours = coloursFor(pal, window()->isActiveWindow());
    QLinearGradient fill(0, 0, width(), 0);
    fill.setColorAt(0, colours.left);
    fill.setColorAt(1, colours.right);
    p.fillRect(rect(), fill);

    m_icon.paint(&p, iconRect());

    QRect text = rect().adjusted(iconRect().right() + 5, 0, -(closeRect().width() + 6), 0);
    p.setPen(colours.ink);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
               QFontMetrics(bold).elidedText(m_title, Qt::ElideRight, text.width()));

    // The close box: a small raised button with a cross.
    const QRect box = closeRect();
    const bool sunken = m_closePressed && m_closeHover;
    p.fillRect(box, m_closeHover ? pal.color(QPalette::Button).lighter(110) : pal.color(QPalette::Button));
    p.setPen(sunken ? pal.color(QPalette::Dark) : pal.color(QPalette::Light));
    p.drawLine(box.topLeft(), box.topRight());
    p.drawLine(box.topLeft(), box.bottomLeft());
    p.setPen(sunken ? pal.color(QPalette::Light) : pal.color(QPalette::Dark));
    p.drawLine(box.bottomLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomRight());
    QPen cross(pal.color(QPalette::ButtonText), 1.6);
    cross.setCapStyle(Qt::FlatCap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(cross);
    const QRectF c = QRectF(box).adjusted(4, 4, -4, -4).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    p.drawLine(c.topLeft(), c.bottomRight());
    p.drawLine(c.topRight(), c.bottomLeft());
}

void CaptionBar::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton || (event->button() == Qt::LeftButton && iconRect().adjusted(-3, -3, 3, 3).contains(pos))) {
        emit systemMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (closeRect().contains(pos)) {
        m_closePressed = true;
        m_closeHover = true;
        update();
        return;
    }
    m_pressPos = pos;
    m_dragArmed = true;
}

void CaptionBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool hover = closeRect().contains(pos);
    if (hover != m_closeHover) {
        m_closeHover = hover;
        update();
    }
    if (m_manualDrag) {
        window()->move(event->globalPosition().toPoint() - m_grabOffset);
        return;
    }
    // Only a real drag moves the window, so that plain clicks stay clicks.
    if (m_dragArmed && (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragArmed = false;
        QWindow* handle = window()->windowHandle();
        if (!handle || !handle->startSystemMove()) {
            // No window manager to do it: follow the pointer ourselves.
            m_manualDrag = true;
            m_grabOffset = mapTo(window(), m_pressPos);
            window()->move(event->globalPosition().toPoint() - m_grabOffset);
        }
    }
}

void CaptionBar::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragArmed = false;
    m_manualDrag = false;
    if (m_closePressed) {
        m_closePressed = false;
        update();
        if (event->button() == Qt::LeftButton && closeRect().contains(event->position().toPoint()))
            emit closeRequested();
    }
}

bool CaptionBar::event(QEvent* event)
{
    // Active and inactive captions look different. A child hears of its window's activation
    // through these two; ActivationChange reaches the window alone.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        update();
    return QWidget::event(event);
}

void CaptionBar::leaveEvent(QEvent*)
{
    if (m_closeHover) {
        m_closeHover = false;
        update();
    }
}
