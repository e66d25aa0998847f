// The caption strip's colours: a gradient and a title ink chosen from the palette so that the
// title stays readable (WCAG AA, 4.5 : 1) against every point of the gradient.
#pragma once

#include <QColor>
#include <QPalette>

struct CaptionColours {
    QColor left, right; // the gradient's ends; every point between lies between them
    QColor ink;
};

// WCAG contrast ratio of two colours, 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);
CaptionColours MakeCaptionColours(const QPalette& palette, bool active);
