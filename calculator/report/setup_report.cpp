#include "calculator/report/setup_report.h"

#include "calculator/report/report_pdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>
#include <QThread>
#include <algorithm>
#include <numeric>
#include <vector>

#include "calculator/report/chart_painter.h"
#include "calculator/text/dialog_texts.h"
#include "calculator/text/vocabulary.h"
#include "common/qt_text.h"
#include "common/safe_file.h"

namespace capacimo::unit {
namespace {

// The page: margins, and the body text sizes tried from the largest down;
// the report takes the largest at which everything fits on the one page.
constexpr qreal kMarginMm = 12.0;
constexpr qreal kLargestPointSize = 9.0;
constexpr qreal kSmallestPointSize = 5.0;
constexpr qreal kPointSizeStep = 0.25;
const QString kFontFamily = QStringLiteral("Liberation Sans");

// The chart is laid out in pixels of this font size; the page scales it to
// the body text. A large size keeps its outlines fine and its text widths
// close to the printed ones.
constexpr int kChartPixelSize = 24;

const QColor kRuleColor(150, 150, 150);

QString durationCell(const StorageDuration& d) { return qText(durationText(d)); }

QString number(std::int64_t n) { return qText(capacimo::groupedNumber(n)); }

// The entries of one page of the dialog, top to bottom.
std::vector<const Entry*> pageEntries(EntryPage page, int index = 0) {
    std::vector<const Entry*> found;
    for (const Entry& entry : entryTable()) {
        if (entry.page == page && (page != EntryPage::Group || entry.index == index)) found.push_back(&entry);
    }
    std::stable_sort(found.begin(), found.end(), [](const Entry* a, const Entry* b) { return a->row < b->row; });
    return found;
}

struct Column {
    QString header;
    Qt::Alignment align = Qt::AlignLeft;
};

struct Table {
    std::vector<Column> columns;
    std::vector<QStringList> rows;
    int totalsFrom = -1;           // rows from here on are sums, set off by a rule
    qreal firstColumnMinimum = 0;  // lines up tables drawn one below the other
};

enum class Style { Body, Bold, Heading, Title };

// Lays the report out on the page at one body text size. Without drawing it
// only measures, so that the size can be chosen before anything is drawn.
// The page is laid out here rather than by a QTextDocument: a document
// breaks into pages where this one must shrink to fit its one page, and it
// has no place for the chart's own drawing among its tables.
class Sheet {
public:
    Sheet(QPainter& painter, qreal pointSize, bool draw) : painter_(painter), pointSize_(pointSize), draw_(draw) {}

    QFont font(Style style) const {
        QFont f(kFontFamily);
        f.setPointSizeF(style == Style::Title     ? pointSize_ * 1.8
                        : style == Style::Heading ? pointSize_ * 1.15
                                                  : pointSize_);
        f.setBold(style != Style::Body);
        return f;
    }
    QFontMetricsF metrics(Style style) const { return QFontMetricsF(font(style), painter_.device()); }
    qreal lineHeight() const { return metrics(Style::Body).lineSpacing(); }
    qreal columnGap() const { return 1.5 * metrics(Style::Body).height(); }
    qreal sectionGap() const { return 0.8 * lineHeight(); }
    // The body text's em in device pixels.
    qreal emPixels() const { return pointSize_ * painter_.device()->logicalDpiY() / 72.0; }
    bool drawing() const { return draw_; }
    QPainter& painter() { return painter_; }

    // Wrapped text in a box of the given width; returns the height it takes.
    // It wraps between words, and inside a word wider than the box (a long
    // name without blanks), so that nothing runs off the page.
    qreal text(QPointF at, qreal width, const QString& s, Style style, QColor color = Qt::black) {
        QTextOption wrapped(Qt::AlignLeft);
        wrapped.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter_.setFont(font(style));
        const QRectF box = painter_.boundingRect(QRectF(at, QSizeF(width, 1e6)), s, wrapped);
        if (draw_) {
            painter_.setPen(color);
            painter_.drawText(QRectF(at.x(), at.y(), width, box.height()), s, wrapped);
        }
        return box.height();
    }

    void rule(QPointF from, qreal width) {
        if (!draw_) return;
        painter_.setPen(QPen(kRuleColor, metrics(Style::Body).lineWidth()));
        painter_.drawLine(from, from + QPointF(width, 0));
    }

    // A heading and the room below it.
    qreal heading(QPointF at, qreal width, const QString& s) {
        return text(at, width, s, Style::Heading) + 0.25 * lineHeight();
    }

    // Column widths for a table in at most maxWidth: every column as wide as
    // its cells and, where there is room, its header; headers that do not
    // fit are wrapped between their words.
    std::vector<qreal> columnWidths(const Table& t, qreal maxWidth) const {
        const std::size_t columns = t.columns.size();
        const QFontMetricsF bold = metrics(Style::Bold);
        std::vector<qreal> cells(columns, 0.0);
        std::vector<qreal> headers(columns, 0.0);
        for (std::size_t c = 0; c < columns; ++c) {
            headers[c] = bold.horizontalAdvance(t.columns[c].header);
            for (const QString& word : t.columns[c].header.split(u' ', Qt::SkipEmptyParts)) {
                cells[c] = std::max(cells[c], bold.horizontalAdvance(word));
            }
        }
        cells[0] = std::max(cells[0], t.firstColumnMinimum);
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            const QFontMetricsF m = metrics(isTotal(t, r) ? Style::Bold : Style::Body);
            for (std::size_t c = 1; c < columns; ++c) cells[c] = std::max(cells[c], m.horizontalAdvance(cell(t, r, c)));
        }
        // The first cell last: where it runs across empty cells, only what
        // they leave must be added to the first column.
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            const qreal label = metrics(isTotal(t, r) ? Style::Bold : Style::Body).horizontalAdvance(cell(t, r, 0));
            qreal room = cells[0];
            for (std::size_t c = 1; c < span(t, r); ++c) room += columnGap() + cells[c];
            cells[0] += std::max(0.0, label - room);
        }
        const qreal gaps = columnGap() * static_cast<qreal>(columns - 1);
        std::vector<qreal> widths(columns);
        qreal wanted = 0;
        qreal needed = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            widths[c] = std::max(cells[c], headers[c]);
            wanted += widths[c];
            needed += cells[c];
        }
        if (wanted + gaps <= maxWidth) return widths;
        // Share the room beyond the cells among the headers that want more.
        const qreal room = std::max(0.0, maxWidth - gaps - needed);
        const qreal more = wanted - needed;
        for (std::size_t c = 0; c < columns; ++c) {
            widths[c] = cells[c] + (more > 0 ? room * (widths[c] - cells[c]) / more : 0.0);
        }
        return widths;
    }

    static bool isTotal(const Table& t, std::size_t row) {
        return t.totalsFrom >= 0 && row >= static_cast<std::size_t>(t.totalsFrom);
    }
    static QString cell(const Table& t, std::size_t row, std::size_t column) {
        return t.rows[row].value(static_cast<qsizetype>(column));
    }
    // The columns a row's first cell covers: its own and the empty ones beside it.
    static std::size_t span(const Table& t, std::size_t row) {
        std::size_t n = 1;
        while (n < t.columns.size() && cell(t, row, n).isEmpty()) ++n;
        return n;
    }

    qreal tableWidth(const Table& t, qreal maxWidth) const {
        const std::vector<qreal> w = columnWidths(t, maxWidth);
        return std::accumulate(w.begin(), w.end(), 0.0) + columnGap() * static_cast<qreal>(w.size() - 1);
    }

    // Draws a table with its header; returns its height.
    qreal table(QPointF at, qreal maxWidth, const Table& t) {
        const std::vector<qreal> widths = columnWidths(t, maxWidth);
        const qreal width = tableWidth(t, maxWidth);
        const qreal line = lineHeight();
        std::vector<qreal> lefts;
        qreal x = at.x();
        for (qreal w : widths) {
            lefts.push_back(x);
            x += w + columnGap();
        }
        qreal header = 0;
        const bool hasHeader =
            std::any_of(t.columns.begin(), t.columns.end(), [](const Column& c) { return !c.header.isEmpty(); });
        if (hasHeader) {
            for (std::size_t c = 0; c < widths.size(); ++c) {
                header = std::max(header,
                                  metrics(Style::Bold)
                                      .boundingRect(QRectF(0, 0, widths[c], 1e6), Qt::TextWordWrap, t.columns[c].header)
                                      .height());
            }
            for (std::size_t c = 0; c < widths.size() && draw_; ++c) {
                painter_.setFont(font(Style::Bold));
                painter_.setPen(Qt::black);
                painter_.drawText(QRectF(lefts[c], at.y(), widths[c], header),
                                  Qt::TextWordWrap | Qt::AlignBottom | t.columns[c].align, t.columns[c].header);
            }
            header += 0.2 * line;
            rule({at.x(), at.y() + header}, width);
            header += 0.15 * line;
        }
        qreal y = at.y() + header;
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            const bool total = isTotal(t, r);
            if (total && r == static_cast<std::size_t>(t.totalsFrom)) {
                y += 0.15 * line;
                rule({at.x(), y}, width);
                y += 0.15 * line;
            }
            for (std::size_t c = 0; c < widths.size() && draw_; ++c) {
                qreal w = widths[c];
                if (c == 0) {
                    for (std::size_t n = 1; n < span(t, r); ++n) w += columnGap() + widths[n];
                }
                painter_.setFont(font(total ? Style::Bold : Style::Body));
                painter_.setPen(Qt::black);
                painter_.drawText(QRectF(lefts[c], y, w, line), Qt::AlignVCenter | t.columns[c].align, cell(t, r, c));
            }
            y += line;
        }
        return y - at.y();
    }

private:
    QPainter& painter_;
    qreal pointSize_;
    bool draw_;
};

// The pages of the general entries, signal analyses and channels.
constexpr EntryPage kEntryPages[] = {EntryPage::General,         EntryPage::SignalAnalysis, EntryPage::AnalogChannels,
                                     EntryPage::DigitalChannels, EntryPage::MathChannels,   EntryPage::Alarms};

// One table per page, each entry with its caption; the values of all of them line up.
std::vector<Table> entryTables(const Sheet& s, const CalculatorEntries& e) {
    std::vector<Table> tables;
    qreal captions = 0;
    for (EntryPage page : kEntryPages) {
        Table t{{{}, {}}, {}};
        for (const Entry* entry : pageEntries(page)) {
            t.rows.push_back({qText(entry->caption), qText(entryValueText(*entry, e))});
            captions = std::max(captions, s.metrics(Style::Body).horizontalAdvance(t.rows.back()[0]));
        }
        tables.push_back(t);
    }
    for (Table& t : tables) t.firstColumnMinimum = captions;
    return tables;
}

qreal entriesWidth(const Sheet& s, const CalculatorEntries& e, qreal maxWidth) {
    qreal width = 0;
    for (const Table& t : entryTables(s, e)) width = std::max(width, s.tableWidth(t, maxWidth));
    return width;
}

qreal entriesColumn(Sheet& s, const CalculatorEntries& e, QPointF at, qreal width) {
    const std::vector<Table> tables = entryTables(s, e);
    qreal y = at.y();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (kEntryPages[i] != EntryPage::General) {
            y += 0.4 * s.lineHeight();
            y += s.heading({at.x(), y}, width, qText(pageCaption(kEntryPages[i])));
        }
        y += s.table({at.x(), y}, width, tables[i]);
    }
    return y - at.y();
}

// One row per group page whose storage cycle is not Off; the columns are
// the page's entries.
qreal groupsTable(Sheet& s, const CalculatorEntries& e, QPointF at, qreal width) {
    Table t;
    const std::vector<const Entry*> firstPage = pageEntries(EntryPage::Group, 0);
    // The alarm cycles only where one differs from its storage cycle.
    const auto shown = [&e](const Entry* entry) { return entry->id != EntryId::GroupAlarmCycle || hasAlarmCycles(e); };
    t.columns.push_back({});
    for (const Entry* entry : firstPage) {
        if (shown(entry))
            t.columns.push_back({qText(entry->caption), entry->isList() ? Qt::AlignLeft : Qt::AlignRight});
    }
    for (int g = 0; g < kGroups; ++g) {
        if (storageCycleCodeForItem(g, e.cycleItems[static_cast<std::size_t>(g)]) == kStorageCycleOff) continue;
        QStringList row{qText(pageCaption(EntryPage::Group, g))};
        for (const Entry* entry : pageEntries(EntryPage::Group, g)) {
            if (shown(entry)) row << qText(entryValueText(*entry, e));
        }
        t.rows.push_back(row);
    }
    if (t.rows.empty()) {
        return s.text(at, width, QStringLiteral("Every group's storage cycle is Off."), Style::Body);
    }
    return s.table(at, width, t);
}

// With an alarm share or a card reserve, the scenario is named above the
// figures and normal operation's durations stand beside.
qreal results(Sheet& s, const ResultRecord& r, QPointF at, qreal width) {
    Table t;
    for (std::string_view caption : kResultColumns) {
        t.columns.push_back({qText(caption), t.columns.empty() ? Qt::AlignLeft : Qt::AlignRight});
    }
    const bool scenario = r.result.hasScenario();
    qreal above = 0;
    if (scenario) {
        above = s.text(at, width, qText(scenarioText(r.result.alarmShare, r.result.cardReserve)) + u':', Style::Body);
        t.columns.push_back({qText(kNormalOperationColumn), Qt::AlignRight});
    }
    const std::vector<ResultRow> normal = resultRows(r, true);
    for (const ResultRow& row : resultRows(r)) {
        t.rows.push_back({qText(resultRowCaption(row.medium, row.cardItem)), QString::number(row.duration.weeks),
                          QString::number(row.duration.days), QString::number(row.duration.hours)});
        if (scenario) t.rows.back() << qText(durationText(normal[t.rows.size() - 1].duration));
    }
    return above + s.table({at.x(), at.y() + above}, width, t);
}

// The recorder's days below its durations: its start, the day each medium
// is full, the day to read it out by and its state in its colour.
qreal daysTable(Sheet& s, const ReportDays& d, QPointF at, qreal width) {
    Table t{{{}, {{}, Qt::AlignRight}}, {}};
    t.rows.push_back({qText(kPlantStartCaption), qText(dateText(d.start))});
    for (const PlantColumn column : {PlantColumn::InternalFullOn, PlantColumn::SdFullOn, PlantColumn::ReadOutBy}) {
        const std::optional<CalendarDate>& day = column == PlantColumn::InternalFullOn ? d.dates.internalFullOn
                                                 : column == PlantColumn::SdFullOn     ? d.dates.sdFullOn
                                                                                       : d.dates.readOutBy;
        if (day) t.rows.push_back({qText(plantColumnCaption(column)), qText(dateText(*day))});
    }
    qreal y = s.table(at, width, t);
    const Rgb colour = recorderStateColour(d.dates.state);
    y += s.text({at.x(), at.y() + y}, width,
                qText(plantColumnCaption(PlantColumn::State)) + QStringLiteral(": ") +
                    qText(recorderStateCaption(d.dates.state)),
                Style::Body, QColor(colour.red, colour.green, colour.blue));
    return y;
}

// The count checks' message in the dialog's colours, across the page.
qreal status(Sheet& s, const ValidationOutcome& outcome, QPointF at, qreal width) {
    if (outcome.level == StatusLevel::None) {
        return s.text(at, width, QStringLiteral("The count checks found no problem."), Style::Body);
    }
    const Rgb colour = statusColour(outcome.level);
    return s.text(at, width, qText(outcome.text), Style::Body, QColor(colour.red, colour.green, colour.blue));
}

// The Details window's chart, in dark text on the white page whatever the
// desktop's colours.
qreal chart(Sheet& s, const Breakdown& b, QPointF at, qreal width) {
    QFont font(kFontFamily);
    font.setPixelSize(kChartPixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    const std::vector<ChartBar> bars = chartBarsOf(b);
    const ChartLayout layout(bars, b.bytesWritten(), QFontMetrics(font));
    const qreal scale = s.emPixels() / kChartPixelSize;
    if (s.drawing()) {
        QPainter& p = s.painter();
        p.save();
        p.translate(at);
        p.scale(scale, scale);
        p.setFont(font);
        layout.paint(p, static_cast<int>(width / scale), Qt::black);
        p.restore();
    }
    return layout.preferredSize().height() * scale;
}

// The chart's figures once more, with the records and the durations without each writer.
Table breakdownTable(const Breakdown& b) {
    Table t{{{qText(kWriterColumn)},
             {qText(kCycleColumn)},
             {qText(kRecordsColumn), Qt::AlignRight},
             {qText(kBytesColumn), Qt::AlignRight},
             {qText(kShareColumn), Qt::AlignRight},
             {qText(withoutColumn(Medium::Internal)), Qt::AlignRight},
             {qText(withoutColumn(Medium::Card)), Qt::AlignRight}},
            {}};
    auto share = [&b](std::int64_t bytes) { return qText(shareText(bytes, b.bytesWritten())); };
    for (const WriterBytes& w : b.writers) {
        t.rows.push_back({qText(w.name), qText(w.cycle), number(w.records), number(w.bytes), share(w.bytes),
                          durationCell(w.withoutInternal), durationCell(w.withoutCard)});
    }
    t.rows.push_back({qText(breakdownRowName(BreakdownKind::Overhead)),
                      {},
                      {},
                      number(b.headerBytes()),
                      share(b.headerBytes()),
                      {},
                      {}});
    t.totalsFrom = static_cast<int>(t.rows.size());
    t.rows.push_back({qText(kBytesWrittenRow), {}, {}, number(b.bytesWritten()), {}, {}, {}});
    if (b.uncountedBytes() > 0) {
        t.rows.push_back(
            {qText(breakdownRowName(BreakdownKind::OpenBlock)), {}, {}, number(-b.uncountedBytes()), {}, {}, {}});
    }
    t.rows.push_back({qText(kBytesCountedRow), {}, {}, number(b.written), {}, {}, {}});
    return t;
}

// What reaches the retention target: the planner's answers under a heading
// that names the target.
qreal planSection(Sheet& s, const ResultRecord& r, QPointF at, qreal width) {
    const Target& target = *r.options.target;
    const StorageDuration now = target.medium == Medium::Card ? r.result.card : r.result.internal;
    const PlanWords words = planWords(*r.plan, target.medium, target.hours, r.entries.cardItem, now);
    qreal y = at.y();
    y += s.heading({at.x(), y}, width, qText(words.heading));
    Table t{{{}, {}}, {}};
    for (const PlanAnswer& a : words.answers) t.rows.push_back({qText(a.question), qText(a.answer)});
    // A long list of answers runs in two columns where they fit side by side.
    const auto half = static_cast<qsizetype>((t.rows.size() + 1) / 2);
    Table first{t.columns, {t.rows.begin(), t.rows.begin() + half}};
    Table second{t.columns, {t.rows.begin() + half, t.rows.end()}};
    const qreal gap = 2 * s.columnGap();
    if (t.rows.size() > 6 && s.tableWidth(first, width) + gap + s.tableWidth(second, width) <= width) {
        const qreal left = s.table({at.x(), y}, width, first);
        const qreal right = s.table({at.x() + s.tableWidth(first, width) + gap, y}, width, second);
        y += std::max(left, right);
    } else if (!t.rows.empty()) {
        y += s.table({at.x(), y}, width, t);
    }
    if (!words.note.empty()) y += s.text({at.x(), y}, width, qText(words.note), Style::Body);
    return y - at.y();
}

qreal title(Sheet& s, const ReportInput& in, QPointF at, qreal width) {
    QString heading = qText(kModelName);
    // The name isolated from the text around it (FSI .. PDI): whatever
    // direction marks or overrides it holds act within it alone.
    if (!in.record.name.empty()) heading += QStringLiteral(": \u2068") + qText(in.record.name) + QChar(0x2069);
    qreal y = at.y();
    y += s.text({at.x(), y}, width, heading, Style::Title);
    QStringList line{QStringLiteral("Storage duration of the internal memory and the SD card")};
    if (!in.version.isEmpty()) line << QStringLiteral("Capacimo ") + in.version;
    if (in.when.isValid()) line << in.when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    y += s.text({at.x(), y}, width, line.join(QStringLiteral("   ·   ")), Style::Body);
    y += 0.3 * s.lineHeight();
    s.rule({at.x(), y}, width);
    return y - at.y();
}

// The whole page; returns the height it takes.
qreal layOut(Sheet& s, const ReportInput& in, const Breakdown& b, const QRectF& area) {
    const ResultRecord& r = in.record;
    const qreal x = area.left();
    const qreal width = area.width();
    const qreal gap = s.columnGap();
    qreal y = area.top();
    y += title(s, in, {x, y}, width) + s.sectionGap();

    // The entries on the left; the groups, results and status on the right.
    const qreal leftWidth = entriesWidth(s, r.entries, 0.6 * width);
    const qreal left = entriesColumn(s, r.entries, {x, y}, leftWidth);
    const qreal rightX = x + leftWidth + 2 * gap;
    const qreal rightWidth = width - leftWidth - 2 * gap;
    qreal right = s.heading({rightX, y}, rightWidth, qText(dialogPageCaption(DialogPage::GroupSettings)));
    right += groupsTable(s, r.entries, {rightX, y + right}, rightWidth);
    right += s.sectionGap();
    right += s.heading({rightX, y + right}, rightWidth, QStringLiteral("Storage duration"));
    right += results(s, r, {rightX, y + right}, rightWidth);
    if (in.days) {
        right += s.sectionGap();
        right += s.heading({rightX, y + right}, rightWidth, QStringLiteral("Read-out days"));
        right += daysTable(s, *in.days, {rightX, y + right}, rightWidth);
    }
    y += std::max(left, right) + 0.5 * s.lineHeight();
    y += status(s, r.status, {x, y}, width) + s.sectionGap();
    s.rule({x, y - 0.4 * s.sectionGap()}, width);

    y += s.heading({x, y}, width, qText(breakdownHeading(b)));
    y += chart(s, b, {x, y}, width) + 0.5 * s.lineHeight();

    y += s.table({x, y}, width, breakdownTable(b));
    if (r.options.target && r.plan) y += s.sectionGap() + planSection(s, r, {x, y + s.sectionGap()}, width);
    return y - area.top();
}

}  // namespace

QString reportFailure(const QString& fileAndReason) {
    return QStringLiteral("Could not write the report ") + fileAndReason;
}

QPageSize::PageSizeId reportPaperFor(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QRectF pageArea(const QPdfWriter& writer) {
    return QRectF(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
}

void drawSetupPage(QPainter& painter, const QRectF& area, const ReportInput& input) {
    const Breakdown breakdown = input.record.breakdown ? *input.record.breakdown : breakdownOf(input.record.entries);
    qreal size = kLargestPointSize;
    while (size > kSmallestPointSize) {
        Sheet measure(painter, size, false);
        if (layOut(measure, input, breakdown, area) <= area.height()) break;
        size -= kPointSizeStep;
    }
    Sheet sheet(painter, size, true);
    layOut(sheet, input, breakdown, area);
}

QString writePdf(const QString& path, const PdfStart& start, const std::function<void(QPdfWriter&, QPainter&)>& draw) {
    auto fail = [&](const QString& reason) { return reportFailure(fileFailure(path, reason)); };
    // Its fonts need the application object of Qt Gui, and its thread.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return fail(QStringLiteral("it is drawn only on the thread of a QGuiApplication"));
    }
    // Drawn into memory first (a page is some 100 kB), then written as a whole.
    QByteArray pdf;
    QBuffer file(&pdf);
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(start.paper));
        writer.setPageOrientation(start.orientation);
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
        writer.setTitle(start.title);
        writer.setCreator(QStringLiteral("Capacimo ") + start.version);
        QPainter painter;
        if (!painter.begin(&writer)) return fail(QStringLiteral("the PDF could not be started"));
        painter.setRenderHint(QPainter::Antialiasing);
        draw(writer, painter);
        painter.end();
    }
    const QString failed =
        writeWholeFile(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    return failed.isEmpty() ? failed : reportFailure(failed);
}

QString reportTitle(std::string_view name) {
    QString title = qText(kModelName);
    if (!name.empty()) title += QStringLiteral(": ") + qText(name);
    return title;
}

QString writeReportPdf(const QString& path, const ReportInput& input) {
    const PdfStart start{input.paper, QPageLayout::Portrait, reportTitle(input.record.name), input.version};
    return writePdf(path, start, [&input](QPdfWriter& writer, QPainter& painter) {
        drawSetupPage(painter, pageArea(writer), input);
    });
}

}  // namespace capacimo::unit
