// The clock window's own caption strip: icon, title and close box. Clicking the icon or
// right-clicking opens the system menu; dragging moves the window through the window manager.
#pragma once

#include <QIcon>
#include <QPoint>
#include <QWidget>

#include "framework/qt/CaptionColours.h"

class CaptionBar : public QWidget {
    Q_OBJECT
public:
    explicit CaptionBar(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const { return m_title; }
    void setIcon(const QIcon& icon);
    // Height of the strip for the current font.
    int preferredHeight() const;
    QRect iconRect() const;
    QRect closeRect() const;

signals:
    void systemMenuRequested(const QPoint& globalPos);
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    const CaptionColours& coloursFor(const QPalette& palette, bool active);

    CaptionColours m_colours;
    qint64 m_coloursPalette = -1; // the cacheKey() of the palette m_colours was made for
    bool m_coloursActive = false;
    QString m_title;
    QIcon m_icon;
    QPoint m_pressPos;
    QPoint m_grabOffset;
    bool m_dragArmed = false;
    bool m_manualDrag = false;
    bool m_closePressed = false;
    bool m_closeHover = false;
};
