#include "cli/report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

namespace capacimo::cli {
namespace {

struct Row {
    QString medium;
    QString card;  // SD rows only
    StorageDuration duration;
};

QString cardText(int item) {
    const auto& items = entryOf(EntryId::CardSize).items;
    return item >= 0 && item < static_cast<int>(items.size()) ? QString::fromStdString(items[static_cast<std::size_t>(item)])
                                                                : QString();
}

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

}  // namespace

Report makeReport(const CalculatorEntries& entries, bool allCards) {
    Report r;
    r.status = validateCounts(entries.counts);
    Calculator calculator;
    r.result = calculator.calculate(entries);
    r.setup = calculator.setup();
    r.codes = calculator.cycleCodes();
    r.cardItem = entries.cardItem;
    r.allCards = allCards;
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
    return out;
}

QByteArray formatJson(const Report& report) {
    QJsonObject root;
    root["bytes_per_two_hours"] = report.result.written;
    root["setup_image_bytes"] = report.result.setupImageLength;
    root["status"] = QJsonObject{{"level", levelName(report.status.level)},
                                 {"text", QString::fromStdString(report.status.text)}};
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
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace capacimo::cli
