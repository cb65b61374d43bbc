#include "calculator/plant/plant.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <stdexcept>

#include "calculator/duration.h"
#include "calculator/plant/problem_text.h"
#include "common/core/decimal_text.h"

namespace capacimo {
namespace {

// The day a medium is full: its hours counted from 00:00 of the start day.
std::optional<CalendarDate> fullOn(std::optional<CalendarDate> start, const StorageDuration& duration) {
    const std::int64_t hours = durationHours(duration);
    if (!start || hours < 0) return std::nullopt;
    return *start + hours / kHoursPerDay;
}

std::optional<CalendarDate> shownDay(std::optional<CalendarDate> day) {
    return day ? std::optional(withinCalendar(*day)) : std::nullopt;
}

void checkMargin(int days) {
    if (!isMarginDays(days)) {
        throw std::out_of_range("a margin of " + std::to_string(days) + " days is outside 0.." +
                                std::to_string(kLargestMarginDays));
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Names as people read them: letters without regard to case, and runs of
// digits by their value, so that "Boiler 2" comes before "Boiler 10".
// Negative, zero or positive as a comes before, with or after b.
int compareNames(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            while (i < a.size() && a[i] == '0') ++i;
            while (j < b.size() && b[j] == '0') ++j;
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && isDigit(a[endA])) ++endA;
            while (endB < b.size() && isDigit(b[endB])) ++endB;
            // Without leading zeros, the longer run is the larger number.
            if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
            if (const int c = a.substr(i, endA - i).compare(b.substr(j, endB - j)); c != 0) return c;
            i = endA;
            j = endB;
            continue;
        }
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[j]));
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

// What a row is sorted by in a column other than the name; none sorts last.
std::optional<std::int64_t> sortKey(const RecorderRow& row, PlantColumn column) {
    const auto day = [](const std::optional<CalendarDate>& d) {
        return d ? std::optional(d->daysSince1970()) : std::nullopt;
    };
    const auto hours = [](const StorageDuration& d) {
        const std::int64_t h = durationHours(d);
        return h < 0 ? std::nullopt : std::optional(h);
    };
    switch (column) {
    case PlantColumn::Card:
        return cardSizeText(row.cardItem).empty() ? std::nullopt : std::optional<std::int64_t>(row.cardItem);
    case PlantColumn::Internal: return hours(row.result.internal);
    case PlantColumn::Sd: return hours(row.result.card);
    case PlantColumn::InternalFullOn: return day(row.dates.internalFullOn);
    case PlantColumn::SdFullOn: return day(row.dates.sdFullOn);
    case PlantColumn::ReadOutBy: return day(row.dates.readOutBy);
    case PlantColumn::State: return static_cast<std::int64_t>(row.dates.state);
    case PlantColumn::Name: break;
    }
    return std::nullopt;
}

}  // namespace

TargetReading readTarget(std::string_view text) {
    const std::optional<std::int64_t> hours = parseRetention(text);
    if (!hours) {
        return {std::nullopt, problemText(text) + " is not a retention such as " + std::string(kRetentionExamples)};
    }
    if (*hours < 1) return {std::nullopt, problemText(text) + " keeps nothing; a target is at least 1h"};
    return {hours, {}};
}

std::optional<int> readMarginDays(std::string_view text) {
    const std::optional<std::int32_t> days = parseDecimal(trimBlanks(text));
    if (!days || !isMarginDays(*days)) return std::nullopt;
    return *days;
}

std::string marginRule() { return "a whole number of days from 0 to " + std::to_string(kLargestMarginDays); }

StartCell startCell(const PlantRecorder& recorder) {
    if (recorder.start || recorder.refused.start.empty()) return {dateText(recorder.start), {}};
    return {recorder.refused.start, readDate(recorder.refused.start).problem};
}

std::optional<std::int64_t> targetWeeks(const PlantRecorder& recorder) {
    if (!recorder.targetHours) return std::nullopt;
    return std::min((*recorder.targetHours + kHoursPerWeek - 1) / kHoursPerWeek, kLargestRetentionNumber);
}

RecorderDates recorderDates(const CalculationResult& result, const PlantRecorder& recorder, const PlantTerms& terms) {
    RecorderDates dates;
    const std::optional<CalendarDate> internal = fullOn(recorder.start, result.internal);
    const std::optional<CalendarDate> card = fullOn(recorder.start, result.card);
    std::optional<CalendarDate> earliest = internal;
    if (card && (!earliest || *card < *earliest)) {
        earliest = card;
        dates.fullFirst = Medium::Card;
    }
    // Judged on the day itself, before a day after 9999 becomes kAfterLastDate.
    const std::optional<CalendarDate> readOut = earliest ? std::optional(*earliest - terms.marginDays) : std::nullopt;
    if (readOut && *readOut <= terms.today) {
        dates.state = RecorderState::Overdue;
    } else if (readOut && *readOut <= terms.today + terms.marginDays) {
        dates.state = RecorderState::Due;
    } else if (recorder.targetHours && !reaches(durationOn(result, recorder.targetMedium), *recorder.targetHours)) {
        dates.state = RecorderState::Short;
    } else if (!recorder.start) {
        dates.state = RecorderState::NoStart;
    }
    dates.internalFullOn = shownDay(internal);
    dates.sdFullOn = shownDay(card);
    dates.readOutBy = shownDay(readOut);
    return dates;
}

RecorderRow evaluateRecorder(Calculator& calculator, const PlantRecorder& recorder, const PlantTerms& terms) {
    RecorderRow row;
    row.name = recorder.name;
    row.start = recorder.start;
    row.cardItem = recorder.entries.cardItem;
    row.status = validateEntries(recorder.entries);
    row.result = calculator.calculate(recorder.entries);
    row.dates = recorderDates(row.result, recorder, terms);
    return row;
}

std::string cellText(const RecorderRow& row, PlantColumn column) {
    switch (column) {
    case PlantColumn::Name: return row.name;
    case PlantColumn::Card: return cardSizeText(row.cardItem);
    case PlantColumn::Internal: return durationText(row.result.internal);
    case PlantColumn::Sd: return durationText(row.result.card);
    case PlantColumn::InternalFullOn: return dateText(row.dates.internalFullOn);
    case PlantColumn::SdFullOn: return dateText(row.dates.sdFullOn);
    case PlantColumn::ReadOutBy: return dateText(row.dates.readOutBy);
    case PlantColumn::State: break;
    }
    return std::string(recorderStateCaption(row.dates.state));
}

nlohmann::ordered_json datesObject(const RecorderDates& dates) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    const auto add = [&object](PlantColumn column, const std::optional<CalendarDate>& day) {
        object[std::string(plantColumnId(column))] = day ? nlohmann::ordered_json(dateText(*day)) : nullptr;
    };
    add(PlantColumn::InternalFullOn, dates.internalFullOn);
    add(PlantColumn::SdFullOn, dates.sdFullOn);
    add(PlantColumn::ReadOutBy, dates.readOutBy);
    object[std::string(plantColumnId(PlantColumn::State))] = recorderStateId(dates.state);
    return object;
}

std::vector<std::size_t> sortedRows(std::span<const RecorderRow> rows, PlantColumn column, SortOrder order) {
    std::vector<std::size_t> positions(rows.size());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    const bool descending = order == SortOrder::Descending;
    if (column == PlantColumn::Name) {
        std::stable_sort(positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) {
            const int c = compareNames(rows[a].name, rows[b].name);
            return descending ? c > 0 : c < 0;
        });
        return positions;
    }
    // Each key once, not once per comparison.
    std::vector<std::optional<std::int64_t>> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) keys[i] = sortKey(rows[i], column);
    std::stable_sort(positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) {
        const auto& ka = keys[a];
        const auto& kb = keys[b];
        if (!ka || !kb) return ka.has_value() && !kb.has_value();
        return descending ? *ka > *kb : *ka < *kb;
    });
    return positions;
}

PlantTotals plantTotals(std::span<const RecorderRow> rows) {
    PlantTotals totals;
    totals.recorders = rows.size();
    for (const RecorderRow& row : rows) {
        ++totals.states[static_cast<std::size_t>(row.dates.state)];
        if (row.result.hasScenario()) ++totals.scenarios;
    }
    return totals;
}

Plant::Plant(const Clock& clock, int marginDays)
    : clock_(&clock), terms_{clock.today(), marginDays}, calculator_(std::make_unique<Calculator>()) {
    checkMargin(marginDays);
}

Plant::~Plant() = default;
Plant::Plant(Plant&&) noexcept = default;
Plant& Plant::operator=(Plant&&) noexcept = default;

RecorderRow Plant::evaluated(const PlantRecorder& recorder) {
    refresh();
    return evaluateRecorder(*calculator_, recorder, terms_);
}

void Plant::append(PlantRecorder recorder) { insert(size(), std::move(recorder)); }

void Plant::insert(std::size_t index, PlantRecorder recorder) {
    if (index > size()) throw std::out_of_range("no place " + std::to_string(index) + " in the plant");
    const auto at = static_cast<std::ptrdiff_t>(index);
    rows_.insert(rows_.begin() + at, evaluated(recorder));
    recorders_.insert(recorders_.begin() + at, std::move(recorder));
    for (KeptRow& row : kept_) {
        if (row.before > index) ++row.before;
    }
}

void Plant::replace(std::size_t index, PlantRecorder recorder) {
    if (index >= size()) throw std::out_of_range("no recorder " + std::to_string(index) + " in the plant");
    rows_[index] = evaluated(recorder);
    recorders_[index] = std::move(recorder);
}

PlantRecorder Plant::remove(std::size_t index) {
    PlantRecorder recorder = std::move(recorders_.at(index));
    const auto at = static_cast<std::ptrdiff_t>(index);
    recorders_.erase(recorders_.begin() + at);
    rows_.erase(rows_.begin() + at);
    for (KeptRow& row : kept_) {
        if (row.before > index) --row.before;
    }
    return recorder;
}

void Plant::setMarginDays(int days) {
    checkMargin(days);
    terms_.marginDays = days;
    terms_.today = clock_->today();
    redate();
}

bool Plant::refresh() {
    const CalendarDate today = clock_->today();
    if (today == terms_.today) return false;
    terms_.today = today;
    redate();
    return true;
}

void Plant::redate() {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i].dates = recorderDates(rows_[i].result, recorders_[i], terms_);
}

}  // namespace capacimo
