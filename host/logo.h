// The Ostrelwerk logo shown on the splash: designed at 264 x 50 pixels, 24
// bits per pixel.
#pragma once

#include <QImage>

namespace capacimo::host {

inline constexpr int kLogoWidth = 264;
inline constexpr int kLogoHeight = 50;

// Draws the logo at a size (in device-independent pixels) for a screen with
// the given device pixel ratio.
QImage DrawLogo(const QSize& size = {kLogoWidth, kLogoHeight}, qreal devicePixelRatio = 1.0);

}  // namespace capacimo::host
