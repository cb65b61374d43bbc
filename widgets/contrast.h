// How well text stands out from its background, as the accessibility
// guidelines for the web measure it (WCAG 2), and a text colour that keeps a
// design's hue while standing out enough on a dark background.
#pragma once

#include <QColor>

namespace capacimo::widgets {

// Relative luminance of a colour: 0 for black, 1 for white.
double relativeLuminance(const QColor& colour);

// From 1 (the same luminance) to 21 (black on white); order does not matter.
double contrastRatio(const QColor& a, const QColor& b);

// The guidelines' least contrast for ordinary text.
inline constexpr double kReadableContrast = 4.5;

// The colour to draw `wanted` text in on `background`. On a light background
// (one that black text stands out from better than white) the design's colour
// as it is; on a dark one, the design's colour lightened toward white just
// enough to reach kReadableContrast.
QColor readableOn(const QColor& wanted, const QColor& background);

}  // namespace capacimo::widgets
