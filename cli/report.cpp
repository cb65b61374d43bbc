#include "cli/report.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "calculator/files/text_encoding.h"
#include "calculator/text/vocabulary.h"

namespace capacimo::cli {
namespace {

// Columns, as the terminal shows a text.
int length(std::string_view text) { return static_cast<int>(displayWidth(text)); }

std::string resultTable(const ResultRecord& record) {
    const auto rows = resultRows(record);
    // With a scenario, its heading above and normal operation's durations beside.
    const bool scenario = record.result.hasScenario();
    const auto normal = resultRows(record, true);
    int width = length(kResultColumns[0]);
    for (const ResultRow& row : rows) width = std::max(width, length(resultRowCaption(row.medium, row.cardItem)));
    // The number columns as wide as their captions, weeks with room for six digits.
    const int weeks = 6;
    const int days = length(kResultColumns[2]);
    const int hours = length(kResultColumns[3]);
    int normalWidth = length(kNormalOperationColumn);
    for (const ResultRow& row : normal) normalWidth = std::max(normalWidth, length(durationText(row.duration)));
    std::vector<Cell> header{{std::string(kResultColumns[0]), -width},
                             {std::string(kResultColumns[1]), weeks},
                             {std::string(kResultColumns[2]), days},
                             {std::string(kResultColumns[3]), hours}};
    if (scenario) header.push_back({std::string(kNormalOperationColumn), normalWidth});
    std::string out =
        scenario ? scenarioText(record.result.alarmShare, record.result.cardReserve) + ":\n" + tableLine(header)
                 : tableLine(header);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResultRow& row = rows[i];
        std::vector<Cell> line{{resultRowCaption(row.medium, row.cardItem), -width},
                               {std::to_string(row.duration.weeks), weeks},
                               {std::to_string(row.duration.days), days},
                               {std::to_string(row.duration.hours), hours}};
        if (scenario) line.push_back({durationText(normal[i].duration), normalWidth});
        out += tableLine(line);
    }
    return out;
}

std::string breakdownTable(const Breakdown& b) {
    struct Totals {
        std::string label;
        std::int64_t bytes;
        std::string share;
    };
    std::vector<Totals> totals{{std::string(breakdownRowName(BreakdownKind::Overhead)), b.headerBytes(),
                                shareText(b.headerBytes(), b.bytesWritten())},
                               {std::string(kBytesWrittenRow), b.bytesWritten(), {}}};
    if (b.uncountedBytes() > 0) {
        totals.push_back({std::string(breakdownRowName(BreakdownKind::OpenBlock)), -b.uncountedBytes(), {}});
    }
    totals.push_back({std::string(kBytesCountedRow), b.written, {}});
    if (b.alarms) totals.push_back({std::string(kAlarmWrittenRow), b.alarmWritten, {}});

    // The header and a row per writer; in alarm, each writer's cycle,
    // records and bytes then stand after its share.
    std::vector<std::vector<std::string>> rows{
        {std::string(kWriterColumn), std::string(kCycleColumn), std::string(kRecordsColumn), std::string(kBytesColumn),
         std::string(kShareColumn), std::string(kAlarmCycleColumn), std::string(kAlarmRecordsColumn),
         std::string(kAlarmBytesColumn), withoutColumn(Medium::Internal), withoutColumn(Medium::Card)}};
    for (const WriterBytes& w : b.writers) {
        rows.push_back({w.name, w.cycle, std::to_string(w.records), std::to_string(w.bytes),
                        shareText(w.bytes, b.bytesWritten()), w.alarmCycle, std::to_string(w.alarmRecords),
                        std::to_string(w.alarmBytes), durationText(w.withoutInternal), durationText(w.withoutCard)});
    }
    std::vector<bool> left{true, true, false, false, false, true, false, false, true, true};
    if (!b.alarms) {
        for (auto& row : rows) row.erase(row.begin() + 5, row.begin() + 8);
        left.erase(left.begin() + 5, left.begin() + 8);
    }
    // Each column as wide as its widest text, the last one unpadded; the
    // totals' labels span the first three columns, which widen the first
    // where they need it.
    std::vector<int> width(left.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], length(row[c]));
    }
    for (const Totals& t : totals) {
        width[0] = std::max(width[0], length(t.label) - width[1] - width[2] - 4);
        width[3] = std::max(width[3], length(std::to_string(t.bytes)));
        width[4] = std::max(width[4], length(t.share));
    }
    width.back() = 0;

    std::string out = '\n' + breakdownHeading(b) + '\n';
    for (const auto& row : rows) {
        std::vector<Cell> cells;
        for (std::size_t c = 0; c < row.size(); ++c) cells.push_back({row[c], left[c] ? -width[c] : width[c]});
        out += tableLine(cells);
    }
    const int label = width[0] + width[1] + width[2] + 4;
    for (const Totals& t : totals)
        out += tableLine({{t.label, -label}, {std::to_string(t.bytes), width[3]}, {t.share, width[4]}});
    return out;
}

std::string planText(const ResultRecord& record) {
    const Target& target = *record.options.target;
    const StorageDuration& now = target.medium == Medium::Card ? record.result.card : record.result.internal;
    const PlanWords words = planWords(*record.plan, target.medium, target.hours, record.entries.cardItem, now);
    std::string out = '\n' + words.heading + '\n';
    int width = 0;
    for (const PlanAnswer& a : words.answers) width = std::max(width, length(a.question));
    for (const PlanAnswer& a : words.answers) out += "  " + tableLine({{a.question, -width}, {a.answer, 0}});
    if (!words.note.empty()) out += "  " + words.note + '\n';
    return out;
}

}  // namespace

std::string tableLine(const std::vector<Cell>& cells) {
    std::string out;
    for (const Cell& cell : cells) {
        if (!out.empty()) out += "  ";
        const std::string pad(static_cast<std::size_t>(std::max(0, std::abs(cell.width) - length(cell.text))), ' ');
        out += cell.width < 0 ? cell.text + pad : pad + cell.text;
    }
    out.erase(out.find_last_not_of(' ') + 1);
    return out + '\n';
}

std::string formatText(const ResultRecord& record) {
    std::string out = resultTable(record);
    if (record.breakdown) out += breakdownTable(*record.breakdown);
    if (record.options.target && record.plan) out += planText(record);
    return out;
}

}  // namespace capacimo::cli
