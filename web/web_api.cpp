#include "web/web_api.h"

#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "calculator/entry_values.h"
#include "calculator/files/entry_table_json.h"
#include "calculator/files/result_record.h"
#include "calculator/files/setup_file.h"
#include "calculator/plant/plant.h"
#include "calculator/plant/plant_calendar.h"
#include "calculator/text/dialog_texts.h"
#include "calculator/text/vocabulary.h"
#include "common/core/colour.h"
#include "web/values_json.h"

namespace capacimo::web {
namespace {

// The options as capacimo-calc takes them: {"breakdown": true, "all_cards":
// false, "target": "26w", "medium": "sd"}, each optional, and the page's own
// "words": true, for the Details' words in the same reply. Nothing, with the
// reason in error, for anything else.
struct AnswerOptions {
    ResultOptions result;
    bool words = false;
    // Why the target was refused: it costs the plan alone, the durations
    // and the rest of the answer stand.
    std::string targetRefused;
};

std::optional<AnswerOptions> optionsFromText(const std::string& optionsJson, std::string& error) {
    const Json o = Json::parse(optionsJson, nullptr, false);
    if (!o.is_object()) {
        error = "the options are not a JSON object";
        return std::nullopt;
    }
    AnswerOptions answerOptions;
    ResultOptions& options = answerOptions.result;
    for (const auto& [key, value] : o.items()) {
        bool* const flag = key == "breakdown"   ? &options.breakdown
                           : key == "all_cards" ? &options.allCards
                           : key == "words"     ? &answerOptions.words
                                                : nullptr;
        if (flag && value.is_boolean()) {
            *flag = value.get<bool>();
        } else if (key == "target" && value.is_string()) {
            const auto hours = parseRetention(value.get<std::string>());
            if (!hours) {
                answerOptions.targetRefused = value.get<std::string>() + " is not a retention such as " +
                                              std::string(kRetentionExamples) + ", each number at most " +
                                              groupedNumber(kLargestRetentionNumber);
                continue;
            }
            options.target = Target{options.target ? options.target->medium : Medium::Internal, *hours};
        } else if (key != "medium" || !value.is_string()) {
            error = "\"" + key + "\": " + value.dump() + " is not an option";
            return std::nullopt;
        }
    }
    if (o.contains("medium") && answerOptions.targetRefused.empty()) {
        const auto medium = mediumFromId(o["medium"].get<std::string>());
        if (!medium || !options.target) {
            error = "\"medium\": " + o["medium"].dump() + " needs a target and is internal or sd";
            return std::nullopt;
        }
        options.target->medium = *medium;
    }
    return answerOptions;
}

// A result's breakdown, durations without each writer and plan, in the words
// every report uses.
Json wordsObject(const ResultRecord& r) {
    Json o = Json::object();
    if (r.breakdown) {
        const Breakdown& b = *r.breakdown;
        Json rows = Json::array();
        for (const WriterBytes& w : b.writers) {
            rows.push_back({{"kind", breakdownKindId(writerKind(w.writer))},
                            {"name", writerName(w.writer)},
                            {"cycle", w.cycle},
                            {"records", w.records},
                            {"bytes", w.bytes},
                            {"bytes_text", groupedNumber(w.bytes)},
                            {"share", shareText(w.bytes, b.bytesWritten())}});
            if (b.alarms)
                rows.back().update({{"alarm_cycle", w.alarmCycle}, {"alarm_bytes_text", groupedNumber(w.alarmBytes)}});
        }
        auto total = [&](BreakdownKind kind, std::int64_t bytes, bool withShare) {
            rows.push_back({{"kind", breakdownKindId(kind)},
                            {"name", breakdownRowName(kind)},
                            {"bytes", bytes},
                            {"bytes_text", groupedNumber(bytes)},
                            {"share", withShare ? shareText(bytes, b.bytesWritten()) : std::string()}});
        };
        total(BreakdownKind::Overhead, b.headerBytes(), true);
        if (b.uncountedBytes() > 0) total(BreakdownKind::OpenBlock, -b.uncountedBytes(), false);
        Json columns = {kWriterColumn, kCycleColumn, kRecordsColumn, kBytesColumn, kShareColumn};
        if (b.alarms) columns.insert(columns.end(), {kAlarmCycleColumn, kAlarmBytesColumn});
        o["breakdown"] = {{"heading", breakdownHeading(b)}, {"columns", columns}, {"rows", rows}};
        Json without = Json::array();
        if (!b.writers.empty()) {
            without.push_back({{"name", kAsEnteredRow},
                               {"internal", durationText(r.result.internal)},
                               {"sd", durationText(r.result.card)}});
        }
        for (const WriterBytes& w : b.writers) {
            without.push_back({{"name", writerName(w.writer)},
                               {"internal", durationText(w.withoutInternal)},
                               {"sd", durationText(w.withoutCard)}});
        }
        o["without"] = {{"heading", withoutHeading(b)},
                        {"columns", {kWithoutColumn, withoutColumn(Medium::Internal), withoutColumn(Medium::Card)}},
                        {"rows", without}};
    }
    if (r.plan && r.options.target) {
        const Target& t = *r.options.target;
        const StorageDuration now = t.medium == Medium::Card ? r.result.card : r.result.internal;
        const PlanWords plan = planWords(*r.plan, t.medium, t.hours, r.entries.cardItem, now);
        Json answers = Json::array();
        for (const PlanAnswer& a : plan.answers) answers.push_back({{"question", a.question}, {"answer", a.answer}});
        o["plan"] = {{"heading", plan.heading}, {"answers", answers}, {"note", plan.note}};
    }
    return o;
}

// The answer for these entries: the result as capacimo-calc --json prints it,
// with its words as the last member when the options ask for them. Each
// answer carries all that belongs to it, so that no call depends on an
// earlier one.
std::string answer(const CalculatorEntries& entries, const std::string& optionsJson) {
    std::string error;
    const std::optional<AnswerOptions> options = optionsFromText(optionsJson, error);
    if (!options) return errorText(error);
    static Calculator calculator;  // prepared once, for every answer of the page
    const ResultRecord record = makeResultRecord(calculator, entries, options->result);
    if (!options->words && options->targetRefused.empty()) return resultJson(record);
    Json reply = resultObject(record);
    if (!options->targetRefused.empty()) reply["target_refused"] = options->targetRefused;
    if (options->words) reply["words"] = wordsObject(record);
    return jsonText(reply) + '\n';
}

// The plant's words and limits: its table's columns, the states, the totals'
// and the start's captions, the margin's range and the calendar file's kind.
Json plantWords() {
    Json columns = Json::array();
    for (const PlantColumn c : kPlantColumns)
        columns.push_back({{"id", plantColumnId(c)}, {"caption", plantColumnCaption(c)}});
    Json states = Json::array();
    for (const RecorderState s : kRecorderStates) {
        states.push_back({{"id", recorderStateId(s)},
                          {"caption", recorderStateCaption(s)},
                          {"colour", hexColour(recorderStateColour(s))}});
    }
    return {{"columns", columns},
            {"states", states},
            {"recorders", kPlantRecordersCaption},
            {"scenarios", kPlantScenariosCaption},
            {"start", kPlantStartCaption},
            {"dates", {{"first", dateText(kFirstDate)}, {"last", dateText(kLastDate)}}},
            {"margin", {{"min", 0}, {"max", kLargestMarginDays}, {"default", kDefaultMarginDays}}},
            {"calendar", {{"extension", kCalendarExtension}, {"media_type", kCalendarMediaType}}}};
}

}  // namespace

std::string calculate(const std::string& setupJson, const std::string& optionsJson) {
    const SetupReadResult read = readSetupText(setupJson);
    if (!read.setup) return errorText(read.error);
    return answer(read.setup->entries, optionsJson);
}

std::string calculateValues(const std::string& valuesJson, const std::string& optionsJson) {
    const std::optional<CalculatorEntries> entries = entriesFromText(valuesJson);
    if (!entries) return errorText("the values are not one whole number per entry");
    return answer(*entries, optionsJson);
}

std::string setupText(const std::string& valuesJson, const std::string& name) {
    const std::optional<CalculatorEntries> entries = entriesFromText(valuesJson);
    return entries ? writeSetupText(*entries, name) : std::string();
}

std::string readSetup(const std::string& text) {
    const SetupReadResult read = readSetupText(text);
    if (!read.setup) return errorText(read.error);
    return Json{{"values", entryValues(read.setup->entries)},
                {"name", read.setup->name},
                {"defaulted", read.setup->defaultedKeys}}
        .dump();
}

std::string entries() {
    Json table = entryTableObject();
    table["result_columns"] = kResultColumns;
    table["normal_column"] = kNormalOperationColumn;
    Json media = Json::array();
    for (const Medium medium : kMedia) media.push_back({{"id", mediumId(medium)}, {"caption", mediumCaption(medium)}});
    table["details"] = {{"title", kDetailsTitle},
                        {"target",
                         {{"title", kTargetTitle},
                          {"keep", kTargetKeep},
                          {"weeks", kTargetWeeks},
                          {"on_the", kTargetOnThe},
                          {"initial_weeks", kInitialTargetWeeks},
                          {"min_weeks", 0},
                          {"max_weeks", kLargestRetentionNumber},
                          {"media", media}}}};
    table["setup_file"] = {{"extension", kSetupExtension}, {"name_limit", kSetupNameLimit}};
    table["plant"] = plantWords();
    return table.dump();
}

std::string defaults() { return valuesText(defaultEntries()); }

std::string readableColour(const std::string& colour, const std::string& background) {
    const auto rgbOf = [](const std::string& hex) -> std::optional<Rgb> {
        unsigned r = 0, g = 0, b = 0;
        if (hex.size() != 7 || std::sscanf(hex.c_str(), "#%02x%02x%02x", &r, &g, &b) != 3) return std::nullopt;
        return Rgb{static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)};
    };
    const std::optional<Rgb> wanted = rgbOf(colour);
    const std::optional<Rgb> under = rgbOf(background);
    return wanted && under ? hexColour(readableOn(*wanted, *under)) : colour;
}

std::string heaviest() { return valuesText(heaviestEntries()); }

std::string adjust(const std::string& valuesJson, const std::string& changedKey) {
    std::optional<CalculatorEntries> entries = entriesFromText(valuesJson);
    if (!entries) return valuesJson;
    for (const Entry& entry : entryTable()) {
        if (entry.control == changedKey) adjustDependentCounts(*entries, entry.id);
    }
    return valuesText(*entries);
}

std::string fromStore(const std::string& storedJson) {
    Json stored = Json::parse(storedJson, nullptr, false);
    if (!stored.is_object()) stored = Json::object();
    return valuesText(entriesFromStoredTexts([&stored](const Entry& entry) -> std::optional<std::string> {
        const auto it = stored.find(storedName(entry));
        if (it == stored.end() || !it->is_string()) return std::nullopt;
        return it->get<std::string>();
    }));
}

}  // namespace capacimo::web
