#include "logo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace capacimo::host {
namespace {

const QColor kNavy(0x1B, 0x2F, 0x6B);
const QColor kGold(0xE0, 0xA8, 0x20);
const QColor kTrace(0xC8, 0x1E, 0x1E);
const QColor kGrid(0xD6, 0xDE, 0xEA);

// A memory card with its contacts, standing for the recorder's SD card.
void DrawCard(QPainter& p) {
    QPainterPath card;
    card.moveTo(6, 4);
    card.lineTo(30, 4);
    card.lineTo(40, 14);
    card.lineTo(40, 46);
    card.lineTo(6, 46);
    card.closeSubpath();
    p.fillPath(card, kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    for (int i = 0; i < 4; ++i) p.drawRect(10 + i * 6, 8, 3, 9);
    // The fill level of the card.
    p.setBrush(QColor(0x8F, 0xB8, 0xE8));
    p.drawRect(11, 24, 24, 18);
    p.setBrush(kGold);
    p.drawRect(11, 33, 24, 9);
}

// Recorder chart paper with a trace that runs into a filled memory bar.
void DrawChart(QPainter& p) {
    const QRectF chart(48, 4, 212, 26);
    p.setPen(QPen(kGrid, 1));
    for (int x = 48; x <= 260; x += 12) p.drawLine(QPointF(x + 0.5, chart.top()), QPointF(x + 0.5, chart.bottom()));
    for (int y = 4; y <= 30; y += 6) p.drawLine(QPointF(chart.left(), y + 0.5), QPointF(chart.right(), y + 0.5));

    const double samples[] = {22, 19, 21, 14, 16, 9, 12, 18, 15, 11, 13, 8, 10, 16, 12, 7, 9, 14, 11};
    QPolygonF trace;
    const int count = static_cast<int>(sizeof samples / sizeof samples[0]);
    for (int i = 0; i < count; ++i) trace << QPointF(50 + i * (208.0 / (count - 1)), samples[i]);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kTrace, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(trace);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DrawWordMark(QPainter& p) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(font);
    p.setPen(kNavy);
    p.drawText(QRect(48, 32, 212, 17), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("OSTRELWERK"));
    p.fillRect(QRect(48, 39, 58, 3), kGold);
}

}  // namespace

QImage DrawLogo(const QSize& size, qreal devicePixelRatio) {
    // Drawn in the screen's own pixels, so that it is as sharp as its text.
    QImage image((QSizeF(size) * devicePixelRatio).toSize(), QImage::Format_RGB888);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(qreal(size.width()) / kLogoWidth, qreal(size.height()) / kLogoHeight);
    DrawCard(p);
    DrawChart(p);
    DrawWordMark(p);
    p.end();
    return image;
}

}  // namespace capacimo::host
