// The Ostrelwerk logo shown on the splash: 264 x 50 pixels, 24 bits per pixel.
#pragma once

#include <QImage>

namespace capacimo {

inline constexpr int kLogoWidth = 264;
inline constexpr int kLogoHeight = 50;

// Draws the logo picture.
QImage DrawLogo();

}  // namespace capacimo
