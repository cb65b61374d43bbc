// The Details window's bar chart of where the bytes of two hours go: the
// chart the report draws too (chart_painter.h), as a widget in the window's
// font and colours.
#pragma once

#include <QWidget>
#include <vector>

#include "calculator/report/chart_painter.h"

namespace capacimo::unit {

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
    using RowGeometry = ChartLayout::Row;
    RowGeometry rowGeometry(int row) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    ChartLayout layout() const { return {bars_, total_, fontMetrics()}; }

    std::vector<ChartBar> bars_;
    qint64 total_ = 0;
};

}  // namespace capacimo::unit
