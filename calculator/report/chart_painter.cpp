#include "calculator/report/chart_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "calculator/text/vocabulary.h"

namespace capacimo::unit {
namespace {

// Bar widths in average characters: what the chart asks for, and the least it
// keeps when the window is made narrow.
constexpr int kPreferredBarChars = 32;
constexpr int kMinimumBarChars = 12;

// Fills that stay apart in grey scale: groups dark, analyses light, the
// overhead hatched on white.
QBrush fillOf(ChartBar::Kind kind) {
    switch (kind) {
    case ChartBar::Kind::Group: return QColor(40, 90, 150);
    case ChartBar::Kind::Analysis: return QColor(160, 192, 225);
    case ChartBar::Kind::Overhead: break;
    }
    return QBrush(QColor(70, 70, 70), Qt::BDiagPattern);
}

}  // namespace

std::vector<ChartBar> chartBarsOf(const Breakdown& b) {
    std::vector<ChartBar> bars;
    for (const WriterBytes& w : b.writers) {
        const bool group = writerKind(w.writer) == BreakdownKind::Group;
        bars.push_back({QString::fromStdString(writerLabel(w)), w.bytes,
                        group ? ChartBar::Kind::Group : ChartBar::Kind::Analysis});
    }
    bars.push_back({QString::fromStdString(std::string(breakdownRowName(BreakdownKind::Overhead))), b.headerBytes(),
                    ChartBar::Kind::Overhead});
    return bars;
}

QString chartBytesText(const ChartBar& bar) { return QString::fromStdString(bytesText(bar.bytes)); }

QString chartShareText(const ChartBar& bar, qint64 total) {
    return QString::fromStdString(shareText(bar.bytes, total));
}

ChartLayout::ChartLayout(const std::vector<ChartBar>& bars, qint64 total, const QFontMetrics& metrics)
    : bars_(bars), total_(total), averageCharWidth_(metrics.averageCharWidth()) {
    const int text = metrics.height();
    rowHeight_ = text + text / 2;
    margin_ = text / 2;
    gap_ = text / 2;
    for (const ChartBar& bar : bars_) {
        label_ = std::max(label_, metrics.horizontalAdvance(bar.label));
        bytes_ = std::max(bytes_, metrics.horizontalAdvance(chartBytesText(bar)));
        share_ = std::max(share_, metrics.horizontalAdvance(chartShareText(bar, total_)));
    }
}

QSize ChartLayout::sizeFor(int barWidth) const {
    const int rows = std::max<int>(1, static_cast<int>(bars_.size()));
    return {2 * margin_ + label_ + gap_ + barWidth + gap_ + bytes_ + gap_ + share_, 2 * margin_ + rows * rowHeight_};
}

QSize ChartLayout::preferredSize() const { return sizeFor(kPreferredBarChars * averageCharWidth_); }

QSize ChartLayout::minimumSize() const { return sizeFor(kMinimumBarChars * averageCharWidth_); }

ChartLayout::Row ChartLayout::row(int row, int width) const {
    const int height = rowHeight_;
    const int top = margin_ + row * height;
    Row g;
    g.label = QRect(margin_, top, label_, height);
    g.share = QRect(width - margin_ - share_, top, share_, height);
    g.bytes = QRect(g.share.left() - gap_ - bytes_, top, bytes_, height);
    const int areaLeft = g.label.right() + 1 + gap_;
    const int areaWidth = std::max(0, g.bytes.left() - gap_ - areaLeft);

    // One scale for every row, from the most negative value (or zero) to the
    // largest (or zero), so that all bars start at the same zero line.
    qint64 low = 0;
    qint64 high = 0;
    for (const ChartBar& bar : bars_) {
        low = std::min(low, bar.bytes);
        high = std::max(high, bar.bytes);
    }
    const qint64 bytes = bars_.at(static_cast<std::size_t>(row)).bytes;
    if (high == low || bytes == 0) return g;
    auto xOf = [&](qint64 value) {
        const double part = static_cast<double>(value - low) / static_cast<double>(high - low);
        return areaLeft + static_cast<int>(std::lround(part * areaWidth));
    };
    const int zero = xOf(0);
    const int end = xOf(bytes);
    // A value too small for a pixel still shows as a hairline on its side of zero.
    int left = std::min(zero, end);
    int right = std::max(zero, end);
    if (left == right && bytes < 0) --left;
    if (left == right) ++right;
    const int pad = height / 5;
    g.bar = QRect(QPoint(left, top + pad), QPoint(right - 1, top + height - pad - 1));
    return g;
}

void ChartLayout::paint(QPainter& painter, int width, const QColor& text) const {
    const int rows = static_cast<int>(bars_.size());
    const bool negative = std::any_of(bars_.begin(), bars_.end(), [](const ChartBar& b) { return b.bytes < 0; });
    int zero = -1;
    for (int r = 0; r < rows; ++r) {
        const Row g = row(r, width);
        const ChartBar& bar = bars_[static_cast<std::size_t>(r)];
        painter.setPen(text);
        painter.drawText(g.label, Qt::AlignLeft | Qt::AlignVCenter, bar.label);
        painter.drawText(g.bytes, Qt::AlignRight | Qt::AlignVCenter, chartBytesText(bar));
        painter.drawText(g.share, Qt::AlignRight | Qt::AlignVCenter, chartShareText(bar, total_));
        if (g.bar.isEmpty()) continue;
        if (bar.bytes > 0) zero = g.bar.left();
        if (bar.bytes < 0) zero = g.bar.right() + 1;
        painter.setPen(Qt::NoPen);
        if (bar.kind == ChartBar::Kind::Overhead) painter.fillRect(g.bar, Qt::white);
        painter.fillRect(g.bar, fillOf(bar.kind));
        painter.setPen(text);
        painter.drawRect(g.bar.adjusted(0, 0, -1, -1));
    }
    // With a bar to the left of zero, the zero line tells the two sides apart.
    if (negative && zero >= 0 && rows > 0) {
        const Row first = row(0, width);
        const Row last = row(rows - 1, width);
        painter.setPen(QPen(text, 1, Qt::DashLine));
        painter.drawLine(zero, first.label.top(), zero, last.label.bottom());
    }
}

}  // namespace capacimo::unit
