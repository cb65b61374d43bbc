#include "calculator/byte_chart.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "calculator/vocabulary.h"

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

QString TByteChart::bytesText(int row) const {
    return QString::fromStdString(capacimo::bytesText(bars_.at(static_cast<std::size_t>(row)).bytes));
}

QString TByteChart::shareText(int row) const {
    return QString::fromStdString(capacimo::shareText(bars_.at(static_cast<std::size_t>(row)).bytes, total_));
}

int TByteChart::rowHeight() const {
    const int text = fontMetrics().height();
    return text + text / 2;
}

TByteChart::Columns TByteChart::columns() const {
    const QFontMetrics metrics = fontMetrics();
    Columns c;
    c.margin = metrics.height() / 2;
    c.gap = metrics.height() / 2;
    for (int row = 0; row < static_cast<int>(bars_.size()); ++row) {
        c.label = std::max(c.label, metrics.horizontalAdvance(labelText(row)));
        c.bytes = std::max(c.bytes, metrics.horizontalAdvance(bytesText(row)));
        c.share = std::max(c.share, metrics.horizontalAdvance(shareText(row)));
    }
    return c;
}

QSize TByteChart::sizeFor(int barWidth) const {
    const Columns c = columns();
    const int rows = std::max<int>(1, static_cast<int>(bars_.size()));
    return {2 * c.margin + c.label + c.gap + barWidth + c.gap + c.bytes + c.gap + c.share,
            2 * c.margin + rows * rowHeight()};
}

QSize TByteChart::sizeHint() const { return sizeFor(kPreferredBarChars * fontMetrics().averageCharWidth()); }

QSize TByteChart::minimumSizeHint() const { return sizeFor(kMinimumBarChars * fontMetrics().averageCharWidth()); }

TByteChart::RowGeometry TByteChart::rowGeometry(int row) const {
    const Columns c = columns();
    const int height = rowHeight();
    const int top = c.margin + row * height;
    RowGeometry g;
    g.label = QRect(c.margin, top, c.label, height);
    g.share = QRect(width() - c.margin - c.share, top, c.share, height);
    g.bytes = QRect(g.share.left() - c.gap - c.bytes, top, c.bytes, height);
    const int areaLeft = g.label.right() + 1 + c.gap;
    const int areaWidth = std::max(0, g.bytes.left() - c.gap - areaLeft);

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

void TByteChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor text = palette().color(QPalette::WindowText);
    const int rows = static_cast<int>(bars_.size());
    const bool negative = std::any_of(bars_.begin(), bars_.end(), [](const ChartBar& b) { return b.bytes < 0; });
    int zero = -1;
    for (int row = 0; row < rows; ++row) {
        const RowGeometry g = rowGeometry(row);
        painter.setPen(text);
        painter.drawText(g.label, Qt::AlignLeft | Qt::AlignVCenter, labelText(row));
        painter.drawText(g.bytes, Qt::AlignRight | Qt::AlignVCenter, bytesText(row));
        painter.drawText(g.share, Qt::AlignRight | Qt::AlignVCenter, shareText(row));
        if (g.bar.isEmpty()) continue;
        const ChartBar& bar = bars_[static_cast<std::size_t>(row)];
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
        const RowGeometry first = rowGeometry(0);
        const RowGeometry last = rowGeometry(rows - 1);
        painter.setPen(QPen(text, 1, Qt::DashLine));
        painter.drawLine(zero, first.label.top(), zero, last.label.bottom());
    }
}

void TByteChart::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) updateGeometry();
}

}  // namespace capacimo::unit
