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

    // Each column as wide as its widest text; the totals' labels span the
    // first three columns, which widen the first where they need it.
    int writer = length(kWriterColumn);
    int cycle = length(kCycleColumn);
    int records = length(kRecordsColumn);
    int bytes = length(kBytesColumn);
    int share = length(kShareColumn);
    int internal = length(withoutColumn(Medium::Internal));
    for (const WriterBytes& w : b.writers) {
        writer = std::max(writer, length(w.name));
        cycle = std::max(cycle, length(w.cycle));
        records = std::max(records, length(std::to_string(w.records)));
        internal = std::max(internal, length(durationText(w.withoutInternal)));
    }
    for (const Totals& t : totals) {
        writer = std::max(writer, length(t.label) - cycle - records - 4);
        bytes = std::max(bytes, length(std::to_string(t.bytes)));
        share = std::max(share, length(t.share));
    }
    for (const WriterBytes& w : b.writers) {
        bytes = std::max(bytes, length(std::to_string(w.bytes)));
        share = std::max(share, length(shareText(w.bytes, b.bytesWritten())));
    }

    // In alarm: the cycle, records and bytes of each writer beside.
    int alarmCycle = length(kAlarmCycleColumn);
    int alarmRecords = length(kAlarmRecordsColumn);
    int alarmBytes = length(kAlarmBytesColumn);
    for (const WriterBytes& w : b.writers) {
        alarmCycle = std::max(alarmCycle, length(w.alarmCycle));
        alarmBytes = std::max(alarmBytes, length(std::to_string(w.alarmBytes)));
    }
    const auto withAlarms = [&](std::vector<Cell> cells, Cell cycleCell, Cell recordsCell, Cell bytesCell) {
        if (!b.alarms) return cells;
        cells.insert(cells.begin() + 5, {std::move(cycleCell), std::move(recordsCell), std::move(bytesCell)});
        return cells;
    };

    std::string out = '\n' + breakdownHeading(b) + '\n';
    out += tableLine(withAlarms({{std::string(kWriterColumn), -writer},
                                 {std::string(kCycleColumn), -cycle},
                                 {std::string(kRecordsColumn), records},
                                 {std::string(kBytesColumn), bytes},
                                 {std::string(kShareColumn), share},
                                 {withoutColumn(Medium::Internal), -internal},
                                 {withoutColumn(Medium::Card), 0}},
                                {std::string(kAlarmCycleColumn), -alarmCycle},
                                {std::string(kAlarmRecordsColumn), alarmRecords},
                                {std::string(kAlarmBytesColumn), alarmBytes}));
    for (const WriterBytes& w : b.writers) {
        out += tableLine(withAlarms({{w.name, -writer},
                                     {w.cycle, -cycle},
                                     {std::to_string(w.records), records},
                                     {std::to_string(w.bytes), bytes},
                                     {shareText(w.bytes, b.bytesWritten()), share},
                                     {durationText(w.withoutInternal), -internal},
                                     {durationText(w.withoutCard), 0}},
                                    {w.alarmCycle, -alarmCycle}, {std::to_string(w.alarmRecords), alarmRecords},
                                    {std::to_string(w.alarmBytes), alarmBytes}));
    }
    const int label = writer + cycle + records + 4;
    for (const Totals& t : totals)
        out += tableLine({{t.label, -label}, {std::to_string(t.bytes), bytes}, {t.share, share}});
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
