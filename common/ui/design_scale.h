// The host's and the unit's forms are laid out at 120 pixels per inch in a
// narrow sans serif; on a screen of another resolution every size and font
// height scales with it.
#pragma once

#include <QFont>

class QWidget;

namespace capacimo {

inline constexpr double kDesignPixelsPerInch = 120.0;

// A design size in the form's pixels, rounded half away from zero.
int designScaled(const QWidget* form, int value);

// The design's font at a design pixel height: "MS Sans Serif" where the
// system has it, otherwise the metric-compatible Liberation Sans (Debian's
// fonts-liberation2) or Arial, whose widths are close to the design's.
QFont designFont(const QWidget* form, int designPixelHeight);

}  // namespace capacimo
