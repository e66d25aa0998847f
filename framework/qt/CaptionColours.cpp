#include "framework/qt/CaptionColours.h"

#include <algorithm>
#include <cmath>

namespace {

// A little above 4.5, so that rounding to 8-bit channels never drops below it.
constexpr double kMinimumContrast = 4.6;

double RelativeLuminance(const QColor& colour)
{
    const auto channel = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

// Moves `colour` away from `ink` (darker under a light ink, lighter under a dark one) in small
// steps until the ink reads on it. Black or white always get there.
QColor ReadableUnder(QColor colour, const QColor& ink)
{
    const bool lightInk = RelativeLuminance(ink) > 0.18;
    for (int step = 0; step < 64 && ContrastRatio(colour, ink) < kMinimumContrast; ++step) {
        const QColor moved = lightInk ? colour.darker(108) : colour.lighter(108);
        colour = moved == colour ? (lightInk ? QColor(Qt::black) : QColor(Qt::white)) : moved;
    }
    return colour;
}

// The palette's ink, unless no shade of background could carry it (a mid grey): then black or
// white, whichever is further from the background.
QColor InkFor(const QColor& preferred, const QColor& background)
{
    if (std::max(ContrastRatio(preferred, Qt::white), ContrastRatio(preferred, Qt::black)) >= kMinimumContrast)
        return preferred;
    return ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background) ? QColor(Qt::white)
                                                                                         : QColor(Qt::black);
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

CaptionColours MakeCaptionColours(const QPalette& palette, bool active)
{
    // Active: the selection colour, as window managers draw a focused title. Inactive: a quiet
    // shade of the window colour with its own text colour.
    const QPalette::ColorGroup group = active ? QPalette::Active : QPalette::Inactive;
    const QColor base = active ? palette.color(group, QPalette::Highlight)
                               : palette.color(group, QPalette::Window).darker(112);
    const QColor preferredInk = palette.color(group, active ? QPalette::HighlightedText : QPalette::WindowText);
    CaptionColours colours;
    colours.ink = InkFor(preferredInk, base);
    // The gradient fades towards the ink's opposite, so its far end reads even better.
    const bool lightInk = RelativeLuminance(colours.ink) > 0.18;
    colours.left = ReadableUnder(base, colours.ink);
    colours.right = ReadableUnder(lightInk ? colours.left.darker(125) : colours.left.lighter(112), colours.ink);
    return colours;
}
