// Where the Details window opens, so that it and the calculator dialog can
// both be seen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace capacimo::unit {

// Room left between the dialog and the window beside it.
inline constexpr int kBesideGap = 8;

// The top left corner for a window of `window` size (its frame included):
// beside `dialog` (its frame included) on its right, else on its left, else
// below it, else above it, always inside `available` (the screen less its
// panels). Only when none of these has room does it overlap the dialog,
// placed where it covers the least of `keepVisible` (parts of the dialog,
// the most important first), then the least of the dialog. A window larger
// than `available` starts at its top left corner.
QPoint besidePosition(const QRect& dialog, const std::vector<QRect>& keepVisible, const QSize& window,
                      const QRect& available);

}  // namespace capacimo::unit
