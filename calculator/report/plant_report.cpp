#include "calculator/report/plant_report.h"

#include <QFontMetricsF>
#include <algorithm>
#include <memory>
#include <vector>

#include "calculator/report/report_pdf.h"
#include "calculator/text/vocabulary.h"
#include "common/qt_text.h"

namespace capacimo::unit {
namespace {

const QString kFontFamily = QStringLiteral("Liberation Sans");
constexpr qreal kPointSize = 9.0;
// A row's height in lines of text: a little room between rows.
constexpr qreal kRowLines = 1.35;
// The name column takes at least this share of the page's width, and a name
// longer than its column is shortened with "..." (its own page names it whole).
constexpr qreal kNameShare = 0.22;
const QColor kRuleColor(150, 150, 150);

// The summary's title after the model's name, and the PDF's.
const QString kPlantTitle = QStringLiteral("Plant, read-out days");

QString pageText(int page, int pages) { return QStringLiteral("page %1 of %2").arg(page).arg(pages); }

// "12 recorders: 1 overdue, 2 due, 3 short, 6 ok"
QString totalsText(const PlantTotals& totals) {
    QStringList states;
    for (const RecorderState state : kRecorderStates) {
        states << QStringLiteral("%1 %2").arg(totals.of(state)).arg(qText(recorderStateId(state)));
    }
    QString text = QStringLiteral("%1 recorders: %2").arg(totals.recorders).arg(states.join(QStringLiteral(", ")));
    if (totals.scenarios > 0)
        text += QStringLiteral("; %1: %2").arg(qText(kPlantScenariosCaption)).arg(totals.scenarios);
    return text;
}

QFont font(bool bold, qreal scale = 1.0) {
    QFont f(kFontFamily);
    f.setPointSizeF(kPointSize * scale);
    f.setBold(bold);
    return f;
}

qreal lineSpacing(const QPainter& painter) { return QFontMetricsF(font(false), painter.device()).lineSpacing(); }

// The room "page i of n" takes at the bottom of every page.
qreal footerHeight(const QPainter& painter) { return 1.5 * lineSpacing(painter); }

void drawFooter(QPainter& painter, const QRectF& area, int page, int pages) {
    painter.setFont(font(false));
    painter.setPen(Qt::black);
    const qreal line = lineSpacing(painter);
    painter.drawText(QRectF(area.left(), area.bottom() - line, area.width(), line), Qt::AlignRight | Qt::AlignBottom,
                     pageText(page, pages));
}

// The summary's pages: laid out once, so that the page count is known before
// the first page is drawn.
class Summary {
public:
    Summary(QPainter& painter, const PlantReportInput& in, const QRectF& area)
        : painter_(painter), in_(in), area_(area), order_(sortedRows(in.rows, PlantColumn::ReadOutBy)) {
        const QFontMetricsF body(font(false), painter.device());
        line_ = body.lineSpacing();
        row_ = kRowLines * line_;
        gap_ = body.horizontalAdvance(QStringLiteral("MM"));
        measureColumns();
        const qreal firstRows = area.height() - titleHeight() - 2 * row_ - footerHeight(painter);
        const qreal laterRows = area.height() - 2 * row_ - footerHeight(painter);
        firstPageRows_ = std::max<std::size_t>(1, static_cast<std::size_t>(firstRows / row_));
        laterPageRows_ = std::max<std::size_t>(1, static_cast<std::size_t>(laterRows / row_));
    }

    int pages() const {
        if (order_.size() <= firstPageRows_) return 1;
        const std::size_t rest = order_.size() - firstPageRows_;
        return 1 + static_cast<int>((rest + laterPageRows_ - 1) / laterPageRows_);
    }
    // The recorders in the summary's order, for their own pages after it.
    const std::vector<std::size_t>& order() const { return order_; }

    // Draws summary page `page` (from 0) on the painter's current page.
    void drawPage(int page, int pageCount) {
        qreal y = area_.top();
        if (page == 0) y += drawTitle(y);
        const std::size_t first =
            page == 0 ? 0 : firstPageRows_ + (static_cast<std::size_t>(page) - 1) * laterPageRows_;
        const std::size_t last = std::min(order_.size(), first + (page == 0 ? firstPageRows_ : laterPageRows_));
        y += drawRow(y, captions(), true);
        for (std::size_t i = first; i < last; ++i) {
            const RecorderRow& row = in_.rows[order_[i]];
            y += drawRow(y, cells(row), false, row.dates.state);
        }
        drawFooter(painter_, area_, page + 1, pageCount);
    }

private:
    static QStringList captions() {
        QStringList list;
        for (const PlantColumn column : kPlantColumns) list << qText(plantColumnCaption(column));
        return list;
    }
    static QStringList cells(const RecorderRow& row) {
        QStringList list;
        for (const PlantColumn column : kPlantColumns) list << qText(cellText(row, column));
        return list;
    }
    static bool alignsRight(std::size_t column) {
        return kPlantColumns[column] == PlantColumn::Internal || kPlantColumns[column] == PlantColumn::Sd;
    }

    // Every column as wide as its widest cell; the name column takes the room left.
    void measureColumns() {
        const QFontMetricsF body(font(false), painter_.device());
        const QFontMetricsF bold(font(true), painter_.device());
        widths_.assign(kPlantColumns.size(), 0.0);
        const QStringList heads = captions();
        for (std::size_t c = 0; c < widths_.size(); ++c) widths_[c] = bold.horizontalAdvance(heads[c]);
        for (const RecorderRow& row : in_.rows) {
            const QStringList texts = cells(row);
            for (std::size_t c = 0; c < widths_.size(); ++c) {
                widths_[c] = std::max(widths_[c], body.horizontalAdvance(texts[c]));
            }
        }
        qreal others = 0;
        for (std::size_t c = 1; c < widths_.size(); ++c) others += widths_[c] + gap_;
        widths_[0] = std::min(std::max(widths_[0], kNameShare * area_.width()), area_.width() - others);
        tableWidth_ = others + widths_[0];
    }

    qreal titleHeight() const { return QFontMetricsF(font(true, 1.6), painter_.device()).lineSpacing() + 2.5 * line_; }

    qreal drawTitle(qreal y) {
        painter_.setPen(Qt::black);
        painter_.setFont(font(true, 1.6));
        const qreal heading = QFontMetricsF(painter_.font(), painter_.device()).lineSpacing();
        painter_.drawText(QRectF(area_.left(), y, area_.width(), heading), Qt::AlignLeft | Qt::AlignVCenter,
                          qText(kModelName) + QStringLiteral(": ") + kPlantTitle);
        painter_.setFont(font(false));
        const PlantTotals totals = plantTotals(in_.rows);
        QStringList line{totalsText(totals), QStringLiteral("judged on %1 with a margin of %2 days")
                                                 .arg(qText(dateText(in_.terms.today)))
                                                 .arg(in_.terms.marginDays)};
        if (!in_.version.isEmpty()) line << QStringLiteral("Capacimo ") + in_.version;
        if (in_.when.isValid()) line << in_.when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        painter_.drawText(QRectF(area_.left(), y + heading, area_.width(), line_), Qt::AlignLeft | Qt::AlignVCenter,
                          line.join(QStringLiteral("   ·   ")));
        return titleHeight();
    }

    // One row of the table, the header row in bold and ruled off; returns its
    // height. A recorder's state is written in its colour, as the plant window
    // shows it; the word says it without the colour too.
    qreal drawRow(qreal y, const QStringList& texts, bool header, RecorderState state = RecorderState::Ok) {
        painter_.setFont(font(header));
        painter_.setPen(Qt::black);
        const QFontMetricsF metrics(painter_.font(), painter_.device());
        qreal x = area_.left();
        for (std::size_t c = 0; c < widths_.size(); ++c) {
            const QString shown = metrics.elidedText(texts[static_cast<qsizetype>(c)], Qt::ElideRight, widths_[c]);
            const bool stateCell = !header && kPlantColumns[c] == PlantColumn::State;
            const Rgb colour = recorderStateColour(state);
            painter_.setPen(stateCell ? QColor(colour.red, colour.green, colour.blue) : QColor(Qt::black));
            painter_.drawText(QRectF(x, y, widths_[c], row_),
                              Qt::AlignVCenter | (alignsRight(c) ? Qt::AlignRight : Qt::AlignLeft), shown);
            x += widths_[c] + gap_;
        }
        if (header) {
            painter_.setPen(QPen(kRuleColor, metrics.lineWidth()));
            painter_.drawLine(QPointF(area_.left(), y + row_), QPointF(area_.left() + tableWidth_, y + row_));
        }
        return row_;
    }

    QPainter& painter_;
    const PlantReportInput& in_;
    QRectF area_;
    std::vector<std::size_t> order_;
    std::vector<qreal> widths_;
    qreal line_ = 0;
    qreal row_ = 0;
    qreal gap_ = 0;
    qreal tableWidth_ = 0;
    std::size_t firstPageRows_ = 1;
    std::size_t laterPageRows_ = 1;
};

// Each recorder's own page, below which the footer says its number.
void drawRecorderPages(QPdfWriter& writer, QPainter& painter, const PlantReportInput& in, const Summary& summary,
                       int summaryPages) {
    const int pageCount = summaryPages + static_cast<int>(in.recorders.size());
    const auto calculator = std::make_unique<Calculator>();
    for (std::size_t i = 0; i < summary.order().size(); ++i) {
        const std::size_t at = summary.order()[i];
        const PlantRecorder& recorder = in.recorders[at];
        ResultOptions options;
        if (recorder.targetHours) options.target = Target{recorder.targetMedium, *recorder.targetHours};
        ReportInput page{makeResultRecord(*calculator, recorder.entries, options, recorder.name), in.when, in.version,
                         in.paper, ReportDays{recorder.start, in.rows[at].dates}};
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.newPage();
        QRectF area = pageArea(writer);
        drawFooter(painter, area, summaryPages + static_cast<int>(i) + 1, pageCount);
        area.setBottom(area.bottom() - footerHeight(painter));
        drawSetupPage(painter, area, page);
    }
}

}  // namespace

QString writePlantReportPdf(const QString& path, const PlantReportInput& input) {
    const PdfStart start{input.paper, QPageLayout::Landscape, qText(kModelName) + QStringLiteral(": ") + kPlantTitle,
                         input.version};
    return writePdf(path, start, [&input](QPdfWriter& writer, QPainter& painter) {
        Summary summary(painter, input, pageArea(writer));
        const int summaryPages = summary.pages();
        const int pageCount = summaryPages + static_cast<int>(input.recorders.size());
        for (int page = 0; page < summaryPages; ++page) {
            if (page > 0) writer.newPage();
            summary.drawPage(page, pageCount);
        }
        drawRecorderPages(writer, painter, input, summary, summaryPages);
    });
}

}  // namespace capacimo::unit
