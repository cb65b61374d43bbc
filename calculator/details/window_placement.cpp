#include "calculator/details/window_placement.h"

#include <algorithm>
#include <array>

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

QPoint besidePosition(const QRect& dialog, const std::vector<QRect>& keepVisible, const QSize& window,
                      const QRect& available) {
    const int topBeside = clampedInto(dialog.top(), window.height(), available.top(), available.bottom());
    const int leftBelow = clampedInto(dialog.left(), window.width(), available.left(), available.right());
    const std::array<QPoint, 4> beside = {QPoint(dialog.right() + 1 + kBesideGap, topBeside),
                                          QPoint(dialog.left() - kBesideGap - window.width(), topBeside),
                                          QPoint(leftBelow, dialog.bottom() + 1 + kBesideGap),
                                          QPoint(leftBelow, dialog.top() - kBesideGap - window.height())};
    for (const QPoint& at : beside)
        if (available.contains(QRect(at, window))) return at;

    // Nothing has room: each of those places pushed into the screen, the
    // same ending above the first part to keep in view, and the screen's
    // corners; the first that covers the least wins.
    auto inside = [&](const QPoint& at) {
        return QPoint(clampedInto(at.x(), window.width(), available.left(), available.right()),
                      clampedInto(at.y(), window.height(), available.top(), available.bottom()));
    };
    std::vector<QPoint> places;
    for (const QPoint& at : beside) places.push_back(inside(at));
    if (!keepVisible.empty()) {
        const int aboveKept = keepVisible.front().top() - kBesideGap - window.height();
        places.push_back(inside(QPoint(beside[0].x(), aboveKept)));
        places.push_back(inside(QPoint(beside[1].x(), aboveKept)));
    }
    for (const QPoint& corner :
         {available.topRight(), available.topLeft(), available.bottomRight(), available.bottomLeft()})
        places.push_back(inside(corner));
    auto cost = [&](const QPoint& at) {
        const QRect r(at, window);
        std::vector<qint64> covered;
        for (const QRect& part : keepVisible) covered.push_back(overlap(r, part));
        covered.push_back(overlap(r, dialog));
        return covered;
    };
    return *std::min_element(places.begin(), places.end(),
                             [&](const QPoint& a, const QPoint& b) { return cost(a) < cost(b); });
}

}  // namespace capacimo::unit
