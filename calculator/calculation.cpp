#include "calculator/calculation.h"

#include "calculator/channel_assignment.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>

namespace capacimo {
namespace {

std::atomic<std::uint64_t> g_calculations{0};
std::atomic<std::uint64_t> g_replays{0};

// The image has the same length for every setup, so it is encoded once.
std::int32_t setupImageLength(CConfigBlock& encoder) {
    if (encoder.imageLength() == 0) encoder.encodeSetupImage(encoder.workingSetup());
    return encoder.imageLength();
}

// Two hours in alarm are replayed only when the recorder spends time in
// alarm and some group then stores at another cycle; otherwise W_a is W_n.
bool needsAlarmReplay(const CalculatorEntries& entries) { return entries.alarmShare > 0 && hasAlarmCycles(entries); }

}  // namespace

std::uint64_t calculationsRun() { return g_calculations.load(); }

std::uint64_t replaysRun() { return g_replays.load(); }

std::int32_t writtenWithAlarms(std::int32_t normalWritten, std::int32_t alarmWritten, std::int32_t alarmShare) {
    const std::int64_t share = std::clamp(alarmShare, 0, 100);
    const std::int64_t change = share * (std::int64_t{alarmWritten} - normalWritten);
    // Rounded up, also when the alarm cycles are slower and the change negative.
    const std::int64_t added = change >= 0 ? (change + 99) / 100 : -(-change / 100);
    return static_cast<std::int32_t>(normalWritten + added);
}

CalculationResult resultFor(std::int32_t written, std::int32_t setupImageLength, std::int32_t cardItem) {
    CalculationResult result;
    result.written = result.normalWritten = result.alarmWritten = written;
    result.setupImageLength = setupImageLength;
    result.internal = storageDuration(freeBytes(kInternalCapacity, setupImageLength, kInternalSetupImages), written);
    result.card = cardDuration(cardItem, written, setupImageLength);
    result.normalInternal = result.internal;
    result.normalCard = result.card;
    return result;
}

CalculationResult resultFor(std::int32_t normalWritten, std::int32_t alarmWritten, std::int32_t setupImageLength,
                            const CalculatorEntries& entries) {
    CalculationResult result = resultFor(normalWritten, setupImageLength, entries.cardItem);
    result.alarmShare = std::clamp(entries.alarmShare, 0, 100);
    result.cardReserve = std::max(entries.cardReserve, 0);
    if (!result.hasScenario()) return result;
    result.alarmWritten = alarmWritten;
    result.written = writtenWithAlarms(normalWritten, alarmWritten, result.alarmShare);
    result.internal =
        storageDuration(freeBytes(kInternalCapacity, setupImageLength, kInternalSetupImages), result.written);
    result.card = cardDuration(entries.cardItem, result.written, setupImageLength, result.cardReserve);
    return result;
}

ValidationOutcome validateEntries(const CalculatorEntries& entries) {
    ValidationOutcome counts = validateCounts(entries.counts);
    if (counts.level == StatusLevel::Error || entries.cardReserve <= 0) return counts;
    const std::optional<std::int64_t> free =
        cardFreeBytes(entries.cardItem, CConfigBlock::kImageLength, entries.cardReserve);
    if (free && *free <= 0) {
        return {StatusLevel::Error, "Error: No room for data on the SD card (" + cardSizeText(entries.cardItem) +
                                        ") with " + std::to_string(entries.cardReserve) +
                                        " MB kept free for other files!"};
    }
    return counts;
}

CalculationResult runCalculation(const CalculatorEntries& entries, RecorderSetup& setup, StorageCycleCodes& codes,
                                 CConfigBlock& encoder, CCapacimo& simulator,
                                 std::array<CCapacimo::WriterTally, CCapacimo::kWriters>* alarmTallies) {
    applyEntries(entries, setup, codes);
    encoder.setWorkingSetup(setup);
    ++g_calculations;
    // The two hours in alarm first, so that the simulator ends with the
    // normal replay, which the breakdown and the planner read.
    std::optional<std::int32_t> alarmWritten;
    if (needsAlarmReplay(entries)) {
        StorageCycleCodes alarm{};
        for (int g = 0; g < kGroups; ++g) alarm[g] = alarmCycleCode(entries, g);
        simulator.setGroupCycles(&encoder, alarm);
        ++g_replays;
        alarmWritten = simulator.simulate();
        if (alarmTallies != nullptr) *alarmTallies = simulator.writerTallies();
    } else if (alarmTallies != nullptr) {
        *alarmTallies = {};
    }
    simulator.setGroupCycles(&encoder, codes);
    ++g_replays;
    const std::int32_t written = simulator.simulate();
    return resultFor(written, alarmWritten.value_or(written), setupImageLength(encoder), entries);
}

Calculator::Calculator() {
    initRecorderSetup(setup_);
    initRecorderSetup(rangeSetup_);
}

CalculationResult Calculator::calculate(const CalculatorEntries& entries) {
    return runCalculation(entries, setup_, codes_, encoder_, simulator_, &alarmTallies_);
}

// Why the bracket holds: a medium's duration never grows as W grows. Its
// hours are free / (W / 2), one correctly rounded division in extended
// precision, then rounded to single precision; rounding keeps order, so these
// hours, h, never grow with W. Weeks, days and hours are the whole hours of h,
// split without error: h is below 2^27 (free is below 2^31, W at least 41),
// so where h / 168 is not a whole number it lies at least 2^-27 of itself
// from the nearest one, far more than extended precision's 2^-64 can blur,
// and truncating it gives the whole weeks; the rest, below 168 and a whole
// number of h's last bits, fits single precision exactly, and the days follow
// the same way. So a duration (and its hours, as durationHours counts them)
// follows from the whole hours of h alone, which never grow with W: the same
// at both ends of a range of W, it is the same all through it.
ResultRange Calculator::resultRange(const CalculatorEntries& entries) {
    // The storage cycles change no payload, so trials that differ from the
    // last one only in cycles (or card) keep its records. The setup is one of
    // its own, so that setup() and cycleCodes() stay those of the last
    // calculation, whose replay simulator() holds.
    // W grows with W_n and with W_a alike (it is ceil(((100 - p) W_n + p W_a) / 100)),
    // so the ends of their ranges give the ends of its range.
    StorageCycleCodes codes{};
    CalculatorEntries key = entries;
    key.cycleItems = {};
    key.alarmCycleItems = {};
    key.cardItem = key.alarmShare = key.cardReserve = 0;
    if (key != rangeKey_) {
        applyEntries(entries, rangeSetup_, codes);
        rangeRecords_ = CCapacimo::recordsOf(rangeSetup_);
        rangeKey_ = key;
    }
    for (int g = 0; g < kGroups; ++g) codes[g] = storageCycleCodeForItem(g, entries.cycleItems[g]);  // as applyEntries
    const CCapacimo::WrittenRange normal = CCapacimo::writtenRange(rangeRecords_, codes);
    CCapacimo::WrittenRange alarm = normal;
    if (needsAlarmReplay(entries)) {
        for (int g = 0; g < kGroups; ++g) codes[g] = alarmCycleCode(entries, g);
        alarm = CCapacimo::writtenRange(rangeRecords_, codes);
    }
    const std::int32_t imageLength = setupImageLength(encoder_);
    return {resultFor(normal.most, alarm.most, imageLength, entries),
            resultFor(normal.least, alarm.least, imageLength, entries)};
}

}  // namespace capacimo
