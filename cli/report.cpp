#include "cli/report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <vector>

namespace capacimo::cli {
namespace {

struct Row {
    QString medium;
    QString card;  // SD rows only
    StorageDuration duration;
};

QString cardText(int item) { return QString::fromStdString(cardSizeText(item)); }

std::vector<Row> resultRows(const Report& r) {
    std::vector<Row> rows{{"Internal memory", {}, r.result.internal}};
    if (!r.allCards) {
        rows.push_back({"SD Card", cardText(r.cardItem), r.result.card});
        return rows;
    }
    for (int item = 0; item <= entryOf(EntryId::CardSize).maximum; ++item) {
        rows.push_back({"SD Card", cardText(item), cardDuration(item, r.result.written, r.result.setupImageLength)});
    }
    return rows;
}

QString levelName(StatusLevel level) {
    switch (level) {
    case StatusLevel::Error: return "error";
    case StatusLevel::Information: return "information";
    case StatusLevel::None: break;
    }
    return "none";
}

// A part's share of every byte the two hours wrote.
double share(std::int64_t bytes, const Breakdown& b) {
    return b.bytesWritten() > 0 ? double(bytes) / double(b.bytesWritten()) : 0.0;
}

QString percent(double fraction) { return QStringLiteral("%1 %").arg(100.0 * fraction, 0, 'f', 1); }

QString breakdownText(const Breakdown& b) {
    QString out = QStringLiteral("\nWhere the bytes of two hours go\n");
    const QString row = QStringLiteral("%1  %2  %3  %4  %5  %6  %7\n");
    out += row.arg("Writer", -14)
               .arg("Cycle", -16)
               .arg("Records", 7)
               .arg("Bytes", 10)
               .arg("Share", 7)
               .arg("Internal without it", -20)
               .arg("SD Card without it");
    for (const WriterBytes& w : b.writers) {
        out += row.arg(QString::fromStdString(w.name), -14)
                   .arg(QString::fromStdString(w.cycle), -16)
                   .arg(w.records, 7)
                   .arg(w.bytes, 10)
                   .arg(percent(share(w.bytes, b)), 7)
                   .arg(QString::fromStdString(durationText(w.withoutInternal)), -20)
                   .arg(QString::fromStdString(durationText(w.withoutCard)));
    }
    const QString total = QStringLiteral("%1  %2  %3\n");
    out +=
        total.arg("Block overhead (headers)", -41).arg(b.headerBytes(), 10).arg(percent(share(b.headerBytes(), b)), 7);
    out += total.arg("Written in two hours", -41).arg(b.bytesWritten(), 10).arg("");
    if (b.uncountedBytes() > 0) {
        out += total.arg("Open last block, not counted", -41).arg(-b.uncountedBytes(), 10).arg("");
    }
    out += total.arg("Two hours as the durations count them", -41).arg(b.written, 10).arg("");
    return out.replace(QRegularExpression(QStringLiteral(" +\n")), QStringLiteral("\n"));
}

QString cycleText(const std::optional<std::uint8_t>& code) {
    return code ? QString::fromStdString(storageCycleText(*code)) : QStringLiteral("none reaches it");
}

QString planText(const Target& target, const Plan& plan, std::int32_t cardItem) {
    const bool card = target.medium == Medium::Card;
    QString out =
        QStringLiteral("\nTo keep %1 hours on the %2:\n")
            .arg(target.hours)
            .arg(card ? QStringLiteral("SD card (%1)").arg(cardText(cardItem)) : QStringLiteral("internal memory"));
    auto line = [&out](const QString& what, const QString& answer) {
        out += QStringLiteral("  %1  %2\n").arg(what, -38).arg(answer);
    };
    if (card) line("Smallest SD card:", plan.cardItem ? cardText(*plan.cardItem) : QStringLiteral("none reaches it"));
    for (const GroupPlan& g : plan.groups) {
        const auto code = g.fastest ? std::optional<std::uint8_t>(g.fastest->code) : std::nullopt;
        line(QStringLiteral("Fastest cycle of group %1 alone:").arg(g.group + 1), cycleText(code));
    }
    if (plan.groups.empty()) {
        out += QStringLiteral("  No group writes: their storage cycles change nothing.\n");
    } else {
        line("Fastest cycle of every group at once:", cycleText(plan.commonCycle));
    }
    return out;
}

QJsonObject durationJson(const StorageDuration& d) {
    return {{"weeks", d.weeks}, {"days", d.days}, {"hours", d.hours}};
}

QJsonArray breakdownJson(const Breakdown& b) {
    QJsonArray rows;
    for (const WriterBytes& w : b.writers) {
        rows.append(QJsonObject{
            {"writer", QString::fromStdString(w.name)},
            {"cycle", QString::fromStdString(w.cycle)},
            {"records", w.records},
            {"bytes", static_cast<double>(w.bytes)},
            {"share", share(w.bytes, b)},
            {"without",
             QJsonObject{{"internal", durationJson(w.withoutInternal)}, {"sd", durationJson(w.withoutCard)}}},
        });
    }
    rows.append(QJsonObject{{"writer", "Block overhead"}, {"bytes", static_cast<double>(b.headerBytes())}});
    // Once a block has closed, the durations leave the open one out: with
    // this row the bytes add up to bytes_per_two_hours.
    if (b.uncountedBytes() > 0) {
        rows.append(
            QJsonObject{{"writer", "Open block, not counted"}, {"bytes", static_cast<double>(-b.uncountedBytes())}});
    }
    return rows;
}

QJsonValue cycleJson(const std::optional<std::uint8_t>& code) {
    return code ? QJsonValue(QString::fromStdString(storageCycleText(*code))) : QJsonValue(QJsonValue::Null);
}

QJsonObject planJson(const Target& target, const Plan& plan) {
    QJsonObject o{{"medium", target.medium == Medium::Card ? "sd" : "internal"},
                  {"target_hours", static_cast<double>(target.hours)}};
    if (target.medium == Medium::Card) o["card"] = plan.cardItem ? QJsonValue(cardText(*plan.cardItem)) : QJsonValue();
    QJsonArray groups;
    for (const GroupPlan& g : plan.groups) {
        const auto code = g.fastest ? std::optional<std::uint8_t>(g.fastest->code) : std::nullopt;
        groups.append(QJsonObject{{"group", g.group + 1}, {"cycle", cycleJson(code)}});
    }
    o["groups"] = groups;
    o["all_groups_cycle"] = cycleJson(plan.commonCycle);
    return o;
}

}  // namespace

Report makeReport(const Options& options) {
    const CalculatorEntries& entries = options.entries;
    Report r;
    r.status = validateCounts(entries.counts);
    Calculator calculator;
    r.result = calculator.calculate(entries);
    r.setup = calculator.setup();
    r.codes = calculator.cycleCodes();
    r.cardItem = entries.cardItem;
    r.allCards = options.allCards;
    if (options.breakdown) r.breakdown = breakdownOf(entries);
    r.target = options.target;
    if (options.target) r.plan = planFor(entries, options.target->medium, options.target->hours);
    return r;
}

QString formatText(const Report& report) {
    QString out;
    if (report.status.level != StatusLevel::None) out += QString::fromStdString(report.status.text) + '\n';
    const auto rows = resultRows(report);
    auto caption = [](const Row& row) { return row.card.isEmpty() ? row.medium : row.medium + " " + row.card; };
    int width = 6;
    for (const Row& row : rows) width = std::max(width, static_cast<int>(caption(row).size()));
    out += QStringLiteral("%1  %2  %3  %4\n")
               .arg(QStringLiteral("Result"), -width)
               .arg(QStringLiteral("Weeks"), 6)
               .arg(QStringLiteral("Days"), 4)
               .arg(QStringLiteral("Hours"), 5);
    for (const Row& row : rows) {
        out += QStringLiteral("%1  %2  %3  %4\n")
                   .arg(caption(row), -width)
                   .arg(row.duration.weeks, 6)
                   .arg(row.duration.days, 4)
                   .arg(row.duration.hours, 5);
    }
    if (report.breakdown) out += breakdownText(*report.breakdown);
    if (report.target && report.plan) out += planText(*report.target, *report.plan, report.cardItem);
    return out;
}

QByteArray formatJson(const Report& report) {
    QJsonObject root;
    root["bytes_per_two_hours"] = report.result.written;
    root["setup_image_bytes"] = report.result.setupImageLength;
    root["status"] =
        QJsonObject{{"level", levelName(report.status.level)}, {"text", QString::fromStdString(report.status.text)}};
    QJsonArray results;
    for (const Row& row : resultRows(report)) {
        QJsonObject o{{"medium", row.medium},
                      {"weeks", row.duration.weeks},
                      {"days", row.duration.days},
                      {"hours", row.duration.hours}};
        if (row.medium != "Internal memory") o["card"] = row.card;
        results.append(o);
    }
    root["results"] = results;
    QJsonArray groups;
    for (int g = 0; g < kGroups; ++g) {
        QJsonArray channels;
        for (std::int16_t ch : report.setup.groups[g].channels) channels.append(ch);
        groups.append(QJsonObject{{"group", g + 1},
                                  {"cycle", QString::fromStdString(storageCycleText(report.codes[g]))},
                                  {"channels", channels}});
    }
    root["groups"] = groups;
    if (report.breakdown) root["breakdown"] = breakdownJson(*report.breakdown);
    if (report.target && report.plan) root["plan"] = planJson(*report.target, *report.plan);
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace capacimo::cli
