// A horizontal bar chart of where the bytes of two hours go: one row per
// writer and one for the block overhead. Each row shows the name on the left,
// the bar from a common zero line (to its left for a negative value) and, on
// the right, the bytes and their share of the total, right-aligned.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "calculator/breakdown.h"

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

class TByteChart : public QWidget {
    Q_OBJECT

public:
    explicit TByteChart(QWidget* parent = nullptr);

    // The rows, top to bottom, and the total their shares refer to.
    void setBars(std::vector<ChartBar> bars, qint64 total);
    const std::vector<ChartBar>& bars() const { return bars_; }
    qint64 total() const { return total_; }

    // The texts of a row as drawn.
    QString labelText(int row) const;
    QString bytesText(int row) const;
    QString shareText(int row) const;

    // Where the parts of a row are drawn, in the chart's coordinates.
    struct RowGeometry {
        QRect label;
        QRect bar;  // the bar itself; empty for zero bytes
        QRect bytes;
        QRect share;
    };
    RowGeometry rowGeometry(int row) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Widths of the text columns and the spacing, from the font.
    struct Columns {
        int label = 0;
        int bytes = 0;
        int share = 0;
        int gap = 0;
        int margin = 0;
    };
    Columns columns() const;
    int rowHeight() const;
    QSize sizeFor(int barWidth) const;

    std::vector<ChartBar> bars_;
    qint64 total_ = 0;
};

}  // namespace capacimo::unit
