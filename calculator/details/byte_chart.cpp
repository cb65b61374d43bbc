#include "calculator/details/byte_chart.h"

#include <QEvent>
#include <QPainter>

namespace capacimo::unit {

TByteChart::TByteChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Bytes by writer"));
}

void TByteChart::setBars(std::vector<ChartBar> bars, qint64 total) {
    bars_ = std::move(bars);
    total_ = total;
    // What a screen reader reads instead of the bars: each row's texts.
    QStringList rows;
    for (int row = 0; row < static_cast<int>(bars_.size()); ++row)
        rows << QStringLiteral("%1: %2, %3").arg(labelText(row), bytesText(row), shareText(row));
    setAccessibleDescription(rows.join(QStringLiteral(";\n")));
    updateGeometry();
    update();
}

QString TByteChart::labelText(int row) const { return bars_.at(static_cast<std::size_t>(row)).label; }

QString TByteChart::bytesText(int row) const { return chartBytesText(bars_.at(static_cast<std::size_t>(row))); }

QString TByteChart::shareText(int row) const { return chartShareText(bars_.at(static_cast<std::size_t>(row)), total_); }

TByteChart::RowGeometry TByteChart::rowGeometry(int row) const { return layout().row(row, width()); }

QSize TByteChart::sizeHint() const { return layout().preferredSize(); }

QSize TByteChart::minimumSizeHint() const { return layout().minimumSize(); }

void TByteChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    layout().paint(painter, width(), palette().color(QPalette::WindowText));
}

void TByteChart::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) updateGeometry();
}

}  // namespace capacimo::unit
