#include "calculator/files/result_record.h"

#include <memory>

#include "calculator/files/json_room.h"
#include "calculator/files/setup_file.h"
#include "calculator/text/vocabulary.h"

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

// The format's name and version head every object, so that a reader can
// tell what it holds; the version grows when a key changes its meaning.
constexpr std::string_view kFormatName = "capacimo-result";
constexpr int kFormatVersion = 1;

Json durationObject(const StorageDuration& d) {
    Json o = objectWithRoom(4);
    o["weeks"] = d.weeks;
    o["days"] = d.days;
    o["hours"] = d.hours;
    o["total_hours"] = durationHours(d);
    return o;
}

bool knownCard(std::int32_t item) { return item >= 0 && static_cast<std::size_t>(item) < kCardSizes.size(); }

Json cardText(std::int32_t item) { return knownCard(item) ? Json(cardSizeText(item)) : Json(); }

Json cardMegabytes(std::int32_t item) {
    return knownCard(item) ? Json(kCardSizes[static_cast<std::size_t>(item)].megabytes) : Json();
}

Json cycleText(const std::optional<std::uint8_t>& code) { return code ? Json(storageCycleText(*code)) : Json(); }

Json resultsArray(const ResultRecord& record, bool normal = false) {
    const std::vector<ResultRow> results = resultRows(record, normal);
    Json rows = arrayWithRoom(results.size());
    for (const ResultRow& row : results) {
        Json o = objectWithRoom(8);
        o["id"] = mediumId(row.medium);
        o["medium"] = mediumCaption(row.medium);
        if (row.medium == Medium::Card) {
            o["card"] = cardText(row.cardItem);
            o["card_mb"] = cardMegabytes(row.cardItem);
        }
        o.update(durationObject(row.duration));
        if (normal) o["text"] = durationText(row.duration);  // as it stands beside the scenario's
        rows.push_back(std::move(o));
    }
    return rows;
}

Json groupsArray(const ResultRecord& record) {
    Json groups = arrayWithRoom(kGroups);
    for (int g = 0; g < kGroups; ++g) {
        const auto& assigned = record.setup.groups[g].channels;
        Json channels = arrayWithRoom(std::size(assigned));
        for (const std::int16_t channel : assigned) channels.push_back(channel);
        Json o = objectWithRoom(3);
        o["group"] = g + 1;
        o["cycle"] = storageCycleText(record.codes[static_cast<std::size_t>(g)]);
        o["channels"] = std::move(channels);
        groups.push_back(std::move(o));
    }
    return groups;
}

Json breakdownArray(const Breakdown& b) {
    Json rows = Json::array();
    for (const WriterBytes& w : b.writers) {
        Json o = Json::object();
        o["kind"] = breakdownKindId(writerKind(w.writer));
        o["writer"] = w.name;
        o["cycle"] = w.cycle;
        o["records"] = w.records;
        o["bytes"] = w.bytes;
        o["share"] = shareOf(w.bytes, b.bytesWritten());
        if (b.alarms) {
            o["alarm_cycle"] = w.alarmCycle;
            o["alarm_records"] = w.alarmRecords;
            o["alarm_bytes"] = w.alarmBytes;
        }
        o["without"] = Json::object();
        o["without"][mediumId(Medium::Internal)] = durationObject(w.withoutInternal);
        o["without"][mediumId(Medium::Card)] = durationObject(w.withoutCard);
        rows.push_back(std::move(o));
    }
    auto total = [&rows](BreakdownKind kind, std::int64_t bytes) -> Json& {
        Json o = Json::object();
        o["kind"] = breakdownKindId(kind);
        o["writer"] = breakdownRowName(kind);
        o["bytes"] = bytes;
        rows.push_back(std::move(o));
        return rows.back();
    };
    total(BreakdownKind::Overhead, b.headerBytes())["share"] = shareOf(b.headerBytes(), b.bytesWritten());
    // Once a block has closed, the durations leave the open one out: with
    // this row the bytes add up to bytes_per_two_hours.
    if (b.uncountedBytes() > 0) total(BreakdownKind::OpenBlock, -b.uncountedBytes());
    return rows;
}

Json planObject(const Target& target, const Plan& plan) {
    Json o = Json::object();
    o["medium"] = mediumId(target.medium);
    o["target_hours"] = target.hours;
    if (target.medium == Medium::Card) {
        o["card"] = plan.cardItem ? cardText(*plan.cardItem) : Json();
        o["card_mb"] = plan.cardItem ? cardMegabytes(*plan.cardItem) : Json();
    }
    Json groups = Json::array();
    for (const GroupPlan& g : plan.groups) {
        const auto code = g.fastest ? std::optional<std::uint8_t>(g.fastest->code) : std::nullopt;
        Json group = Json::object();
        group["group"] = g.group + 1;
        group["cycle"] = cycleText(code);
        groups.push_back(std::move(group));
    }
    o["groups"] = std::move(groups);
    o["all_groups_cycle"] = cycleText(plan.commonCycle);
    if (plan.largestAlarmShare) {
        o["largest_alarm_share"] = *plan.largestAlarmShare == kNoAlarmShare ? Json() : Json(*plan.largestAlarmShare);
    }
    return o;
}

}  // namespace

ResultRecord makeResultRecord(Calculator& calculator, const CalculatorEntries& entries, const ResultOptions& options,
                              std::string_view name) {
    ResultRecord r;
    r.name = name;
    r.entries = entries;
    r.options = options;
    r.status = validateEntries(entries);
    r.result = calculator.calculate(entries);
    r.setup = calculator.setup();
    r.codes = calculator.cycleCodes();
    if (options.breakdown) r.breakdown = breakdownOf(calculator, entries);
    if (options.target) r.plan = planFor(calculator, entries, options.target->medium, options.target->hours);
    return r;
}

ResultRecord makeResultRecord(const CalculatorEntries& entries, const ResultOptions& options, std::string_view name) {
    return makeResultRecord(*std::make_unique<Calculator>(), entries, options, name);
}

std::vector<ResultRow> resultRows(const ResultRecord& r, bool normal) {
    const CalculationResult& c = r.result;
    std::vector<ResultRow> rows{{Medium::Internal, 0, normal ? c.normalInternal : c.internal}};
    if (!r.options.allCards) {
        rows.push_back({Medium::Card, r.entries.cardItem, normal ? c.normalCard : c.card});
        return rows;
    }
    for (std::int32_t item = 0; knownCard(item); ++item) {
        rows.push_back({Medium::Card, item,
                        normal ? cardDuration(item, c.normalWritten, c.setupImageLength)
                               : cardDuration(item, c.written, c.setupImageLength, c.cardReserve)});
    }
    return rows;
}

Json resultObject(const ResultRecord& record) {
    Json root = objectWithRoom(13);
    root["format"] = kFormatName;
    root["version"] = kFormatVersion;
    root["bytes_per_two_hours"] = record.result.written;
    root["setup_image_bytes"] = record.result.setupImageLength;
    root["status"] = Json::object();
    root["status"]["level"] = statusLevelName(record.status.level);
    root["status"]["text"] = record.status.text;
    root["results"] = resultsArray(record);
    // A scenario's figures are those above; normal operation's beside them.
    if (record.result.hasScenario()) {
        root["scenario"] = {{"caption", scenarioText(record.result.alarmShare, record.result.cardReserve)},
                            {"alarm_share", record.result.alarmShare},
                            {"card_reserve_mb", record.result.cardReserve},
                            {"alarm_bytes_per_two_hours", record.result.alarmWritten}};
        root["normal"] = {{"bytes_per_two_hours", record.result.normalWritten},
                          {"results", resultsArray(record, true)}};
    }
    root["groups"] = groupsArray(record);
    if (record.breakdown) root["breakdown"] = breakdownArray(*record.breakdown);
    if (record.options.target && record.plan) root["plan"] = planObject(*record.options.target, *record.plan);
    root["setup"] = setupObject(record.entries, record.name);
    return root;
}

std::string resultJson(const ResultRecord& record) { return resultObject(record).dump() + '\n'; }

}  // namespace capacimo
