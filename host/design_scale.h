// The host's forms are laid out at 120 pixels per inch; on a screen with
// another resolution every size and font height scales with it.
#pragma once

class QWidget;

namespace capacimo {

inline constexpr double kDesignPixelsPerInch = 120.0;

// A design size of form in the screen's pixels, rounded half away from zero.
int DesignScaled(const QWidget* form, int value);

}  // namespace capacimo
