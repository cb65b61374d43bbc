#include "calculator/dialog_geometry.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "common/ui/design_scale.h"

namespace capacimo::unit {
namespace {

double g_uiScale = 1.0;

// The tops of label and field of each row of the three channel pages, at 120
// pixels per inch (the digital page's last caption sits two pixels lower).
struct RowTops {
    int label;
    int field;
};
constexpr RowTops kChannelRows[3][4] = {
    {{14, 10}, {48, 44}, {82, 78}, {0, 0}},
    {{14, 10}, {48, 44}, {84, 78}, {0, 0}},
    {{14, 10}, {48, 44}, {82, 78}, {116, 112}},
};

}  // namespace

double uiScale() { return g_uiScale; }

void setUiScale(int pixelsPerInch) { g_uiScale = pixelsPerInch >= 120 ? 1.0 : 0.8; }

int Scale(int value) { return static_cast<int>(std::lround(value * g_uiScale)); }

DialogFrame dialogFrame(const QWidget* form) {
    auto d = [form](int v) { return designScaled(form, v); };
    DialogFrame f;
    f.size = {d(675), d(434)};
    f.settings = {0, 0, d(675), d(45 + 216 + 32)};
    f.general = {0, 0, d(675), d(45)};
    f.pages = {0, d(45), d(675), d(216)};
    f.info = {0, d(45 + 216), d(675), d(32)};
    f.status = {d(10), d(8), d(655), 0};
    f.results = {0, d(45 + 216 + 32), d(675), d(96)};
    f.buttons = {0, d(434 - 45), d(675), d(45)};
    f.reset = {d(10), d(8), d(100), d(30)};
    f.close = {d(563), d(8), d(100), d(30)};
    f.details = {d(343), d(8), d(100), d(30)};
    f.plant = {d(453), d(8), d(100), d(30)};
    f.resultCaptionWidth = d(200);
    return f;
}

Placement placementOf(const Entry& entry, const QWidget* form) {
    auto d = [form](int v) { return designScaled(form, v); };
    switch (entry.page) {
    case EntryPage::General: return {{d(8), d(16)}, {d(148), d(12), d(200), 0}};
    case EntryPage::SignalAnalysis:
        return {{d(10), d(14 + 32 * entry.row)}, {d(115), d(10 + 32 * entry.row), d(200), 0}};
    case EntryPage::AnalogChannels:
    case EntryPage::DigitalChannels:
    case EntryPage::MathChannels: {
        const RowTops tops =
            kChannelRows[static_cast<int>(entry.page) - static_cast<int>(EntryPage::AnalogChannels)][entry.row];
        return {{d(10), d(tops.label)}, {d(300), d(tops.field), d(60), d(26)}};
    }
    case EntryPage::Alarms:
        // Its captions are the dialog's longest: the fields stand further right.
        return {{d(10), d(14 + 34 * entry.row)}, {d(360), d(10 + 34 * entry.row), d(60), d(26)}};
    case EntryPage::Group: break;
    }
    const int rowTops[] = {Scale(10), Scale(10) + Scale(32), Scale(10) + Scale(32) + Scale(34),
                           Scale(10) + Scale(32) + Scale(34) + Scale(34)};
    const int top = rowTops[entry.row];
    return {{Scale(10), top + Scale(4)}, {Scale(10) + Scale(330), top, Scale(entry.isList() ? 100 : 60), 0}};
}

std::vector<std::size_t> rowsInDialogOrder() {
    const auto& table = entryTable();
    std::vector<std::size_t> rows(table.size());
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = i;
    std::stable_sort(rows.begin(), rows.end(), [&table](std::size_t a, std::size_t b) {
        const Entry& x = table[a];
        const Entry& y = table[b];
        return std::tie(x.page, x.index, x.row) < std::tie(y.page, y.index, y.row);
    });
    return rows;
}

QFont fittingFont(const QWidget* form) {
    // The dialog was laid out for a narrow 13-pixel font. Should the system
    // have none that narrow, the font is made smaller, as a last resort,
    // until every caption fits in front of its field.
    QFont font = designFont(form, 13);
    const int designSize = font.pixelSize();
    for (int size = designSize; size >= designSize * 3 / 4; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(entryTable().begin(), entryTable().end(), [&](const Entry& entry) {
            const Placement at = placementOf(entry, form);
            const int room = at.field.left() - at.label.x() - designScaled(form, 4);
            return metrics.horizontalAdvance(QString::fromStdString(entry.caption)) <= room;
        });
        if (fits) break;
    }
    return font;
}

}  // namespace capacimo::unit
