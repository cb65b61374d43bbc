// The contrast rule of common/core/colour.h for Qt's colours: a text colour
// that keeps a design's hue while standing out enough on a dark background.
#pragma once

#include <QColor>

#include "common/core/colour.h"

namespace capacimo::widgets {

using capacimo::kReadableContrast;

inline QColor qColour(const Rgb& c) { return QColor(c.red, c.green, c.blue); }
inline Rgb rgbOf(const QColor& colour) {
    const QColor c = colour.toRgb();
    return {c.red(), c.green(), c.blue()};
}

// From 1 (the same luminance) to 21 (black on white); order does not matter.
inline double contrastRatio(const QColor& a, const QColor& b) { return capacimo::contrastRatio(rgbOf(a), rgbOf(b)); }

// The colour to draw `wanted` text in on `background` (capacimo::readableOn).
inline QColor readableOn(const QColor& wanted, const QColor& background) {
    return qColour(capacimo::readableOn(rgbOf(wanted), rgbOf(background)));
}
inline QColor readableOn(const Rgb& wanted, const QColor& background) {
    return qColour(capacimo::readableOn(wanted, rgbOf(background)));
}

}  // namespace capacimo::widgets
