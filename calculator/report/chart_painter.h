// The bar chart of where the bytes of two hours go, drawn with a QPainter:
// one row per writer and one for the block overhead. Each row shows the name
// on the left, the bar from a common zero line (to its left for a negative
// value) and, on the right, the bytes and their share of the total,
// right-aligned. The Details window's chart and the report draw it alike.
#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

#include "calculator/breakdown.h"

class QPainter;

namespace capacimo::unit {

struct ChartBar {
    enum class Kind { Group, Analysis, Overhead };
    QString label;  // "Group 1 (1min)", "Analysis 2 (daily analysis)", "Block overhead"
    qint64 bytes = 0;
    Kind kind = Kind::Group;
    bool operator==(const ChartBar&) const = default;
};

// The bars of a breakdown: one per writer, then the block headers.
std::vector<ChartBar> chartBarsOf(const Breakdown& breakdown);

// The texts of a bar: "65,293 bytes", and "99.2 %" of the total.
QString chartBytesText(const ChartBar& bar);
QString chartShareText(const ChartBar& bar, qint64 total);

// The rows, top to bottom, and the total their shares refer to, laid out in
// the font of the metrics; the chart's own coordinates start at (0, 0).
class ChartLayout {
public:
    ChartLayout(const std::vector<ChartBar>& bars, qint64 total, const QFontMetrics& metrics);

    // Where the parts of a row are drawn in a chart `width` wide.
    struct Row {
        QRect label;
        QRect bar;  // the bar itself; empty for zero bytes
        QRect bytes;
        QRect share;
    };
    Row row(int row, int width) const;

    // The size with bars of a good width, and of the least width kept when
    // the chart is made narrow.
    QSize preferredSize() const;
    QSize minimumSize() const;

    // Draws the chart `width` wide with the painter's font, which must be
    // the metrics' font; text and outlines in the given colour.
    void paint(QPainter& painter, int width, const QColor& text) const;

private:
    QSize sizeFor(int barWidth) const;

    const std::vector<ChartBar>& bars_;
    qint64 total_;
    int averageCharWidth_;
    int rowHeight_;
    // Widths of the text columns and the spacing, from the font.
    int label_ = 0;
    int bytes_ = 0;
    int share_ = 0;
    int gap_ = 0;
    int margin_ = 0;
};

}  // namespace capacimo::unit
