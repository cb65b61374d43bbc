#include "calculator/window_placement.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace capacimo::unit {
namespace {

int clampedInto(int start, int length, int first, int last) {
    return std::max(first, std::min(start, last + 1 - length));
}

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a & b;
    return common.isEmpty() ? 0 : qint64{common.width()} * common.height();
}

}  // namespace

QPoint besidePosition(const QRect& dialog, const QRect& keepVisible, const QSize& window, const QRect& available) {
    const int topBeside = clampedInto(dialog.top(), window.height(), available.top(), available.bottom());
    const int leftBelow = clampedInto(dialog.left(), window.width(), available.left(), available.right());
    const std::array<QPoint, 3> beside = {QPoint(dialog.right() + 1 + kBesideGap, topBeside),
                                          QPoint(dialog.left() - kBesideGap - window.width(), topBeside),
                                          QPoint(leftBelow, dialog.bottom() + 1 + kBesideGap)};
    for (const QPoint& at : beside)
        if (available.contains(QRect(at, window))) return at;

    // Nothing has room: each of those places pushed into the screen, and the
    // screen's corners; the first that covers the least wins.
    auto inside = [&](const QPoint& at) {
        return QPoint(clampedInto(at.x(), window.width(), available.left(), available.right()),
                      clampedInto(at.y(), window.height(), available.top(), available.bottom()));
    };
    const std::array<QPoint, 7> places = {inside(beside[0]),
                                          inside(beside[1]),
                                          inside(beside[2]),
                                          inside(available.topRight()),
                                          inside(available.topLeft()),
                                          inside(available.bottomRight()),
                                          inside(available.bottomLeft())};
    auto cost = [&](const QPoint& at) {
        const QRect r(at, window);
        return std::make_tuple(overlap(r, keepVisible), overlap(r, dialog));
    };
    return *std::min_element(places.begin(), places.end(),
                             [&](const QPoint& a, const QPoint& b) { return cost(a) < cost(b); });
}

}  // namespace capacimo::unit
