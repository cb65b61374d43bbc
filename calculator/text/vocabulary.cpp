#include "calculator/text/vocabulary.h"

#include <cctype>
#include <cstdio>

namespace capacimo {
namespace {

constexpr std::string_view kNoneReaches = "none reaches it";

std::string counted(std::int64_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + ' ' + std::string(n == 1 ? one : many);
}

}  // namespace

std::optional<std::int64_t> parseRetention(std::string_view text) {
    struct Unit {
        char letter;
        std::int64_t hours;
    };
    constexpr Unit kUnits[] = {{'w', kHoursPerWeek}, {'d', kHoursPerDay}, {'h', 1}};
    std::size_t nextUnit = 0;  // units come in the order of kUnits, each once
    std::int64_t hours = 0;
    std::optional<std::int64_t> number;
    for (const char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        if (std::isspace(ch)) continue;
        if (std::isdigit(ch)) {
            number = number.value_or(0) * 10 + (ch - '0');
            if (*number > kLargestRetentionNumber) return std::nullopt;
            continue;
        }
        std::size_t unit = nextUnit;
        while (unit < std::size(kUnits) && kUnits[unit].letter != std::tolower(ch)) ++unit;
        if (unit == std::size(kUnits) || !number) return std::nullopt;
        hours += number.value_or(0) * kUnits[unit].hours;
        number.reset();
        nextUnit = unit + 1;
    }
    // A number needs its unit, and at least one part must be there.
    if (number || nextUnit == 0) return std::nullopt;
    return hours;
}

std::string retentionText(std::int64_t hours) {
    if (hours <= 0) return counted(hours, "hour", "hours");
    std::string text;
    auto add = [&text](std::int64_t n, std::string_view one, std::string_view many) {
        if (n == 0) return;
        if (!text.empty()) text += ' ';
        text += counted(n, one, many);
    };
    add(hours / kHoursPerWeek, "week", "weeks");
    add(hours % kHoursPerWeek / kHoursPerDay, "day", "days");
    add(hours % kHoursPerDay, "hour", "hours");
    return text;
}

std::string_view statusLevelName(StatusLevel level) {
    switch (level) {
    case StatusLevel::Error: return "error";
    case StatusLevel::Information: return "information";
    case StatusLevel::None: break;
    }
    return "none";
}

Rgb statusColour(StatusLevel level) {
    switch (level) {
    case StatusLevel::Error: return {255, 0, 0};
    case StatusLevel::Information: return {0, 0, 255};
    case StatusLevel::None: break;
    }
    return {0, 0, 0};
}

std::string entryLabel(const Entry& entry) {
    if (entry.page == EntryPage::Group) return groupName(entry.index) + ' ' + entry.summary;
    std::string label = entry.summary;
    if (!label.empty()) label[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(label[0])));
    return label;
}

std::string entryValueText(const Entry& entry, const CalculatorEntries& entries) {
    const std::int32_t value = entry.field(entries);
    if (entry.isList() && value >= 0 && value < static_cast<std::int32_t>(entry.items.size())) {
        return entry.items[static_cast<std::size_t>(value)];
    }
    return std::to_string(value);
}

std::string_view breakdownKindId(BreakdownKind kind) {
    switch (kind) {
    case BreakdownKind::Group: return "group";
    case BreakdownKind::Analysis: return "analysis";
    case BreakdownKind::Overhead: return "overhead";
    case BreakdownKind::OpenBlock: break;
    }
    return "open_block";
}

std::string writerLabel(const WriterBytes& writer) { return writer.name + " (" + writer.cycle + ')'; }

std::string_view breakdownRowName(BreakdownKind kind) {
    switch (kind) {
    case BreakdownKind::Overhead: return "Block overhead";
    case BreakdownKind::OpenBlock: return "Open block, not counted";
    case BreakdownKind::Group:
    case BreakdownKind::Analysis: break;
    }
    return {};
}

std::string breakdownHeading(const Breakdown& b) {
    std::string heading = "Where the " + groupedNumber(b.bytesWritten()) + " bytes of two hours go";
    if (b.uncountedBytes() > 0) {
        heading +=
            " (the durations count " + groupedNumber(b.written) + " of them; the last block, still open, is left out)";
    }
    return heading + ':';
}

double shareOf(std::int64_t bytes, std::int64_t written) {
    return written > 0 ? static_cast<double>(bytes) / static_cast<double>(written) : 0.0;
}

std::string shareText(std::int64_t bytes, std::int64_t written) {
    if (written <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", 100.0 * shareOf(bytes, written));
    return text;
}

std::string groupedNumber(std::int64_t value) {
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string bytesText(std::int64_t bytes) { return groupedNumber(bytes) + " bytes"; }

std::string withoutColumn(Medium medium) { return std::string(mediumCaption(medium)) + " without it"; }

std::string_view withoutHeading(const Breakdown& b) {
    return b.writers.empty() ? "No group or analysis records anything."
                             : "How long each medium lasts without one writer:";
}

std::string scenarioText(std::int32_t alarmShare, std::int32_t cardReserve) {
    const std::string alarms = alarmShare > 0 ? "alarms " + std::to_string(alarmShare) + " %" : std::string();
    const std::string reserve = cardReserve > 0 ? std::to_string(cardReserve) + " MB kept free on the " +
                                                      std::string(mediumCaption(Medium::Card))
                                                : std::string();
    if (alarms.empty() && reserve.empty()) return {};
    return "With " + alarms + (alarms.empty() || reserve.empty() ? "" : " and ") + reserve;
}

PlanWords planWords(const Plan& plan, Medium medium, std::int64_t targetHours, std::int32_t cardItem,
                    const StorageDuration& now) {
    PlanWords words;
    words.heading = "To keep " + retentionText(targetHours) + " on " + mediumPhrase(medium, cardItem) +
                    ", which now lasts " + durationText(now) + ':';
    auto cycleAnswer = [](std::optional<std::uint8_t> code) {
        return code ? storageCycleText(*code) + " or slower" : std::string(kNoneReaches);
    };
    if (medium == Medium::Card) {
        words.answers.push_back({"Smallest " + std::string(mediumCaption(Medium::Card)) + ':',
                                 plan.cardItem ? cardSizeText(*plan.cardItem) : std::string(kNoneReaches)});
    }
    for (const GroupPlan& g : plan.groups) {
        const auto code = g.fastest ? std::optional<std::uint8_t>(g.fastest->code) : std::nullopt;
        words.answers.push_back({groupName(g.group) + " alone:", cycleAnswer(code)});
    }
    if (plan.groups.empty()) {
        words.note = "No group records, so there is no storage cycle to change.";
    } else {
        words.answers.push_back({"All these groups alike:", cycleAnswer(plan.commonCycle)});
    }
    if (plan.largestAlarmShare) {
        const std::int32_t share = *plan.largestAlarmShare;
        words.answers.push_back({"Largest time in alarm:", share == kNoAlarmShare ? std::string(kNoneReaches)
                                                           : share == 100         ? "100 %, always in alarm"
                                                                                  : std::to_string(share) + " %"});
    }
    return words;
}

}  // namespace capacimo
