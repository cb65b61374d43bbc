// Answers for the Python checks of this folder.
//
//   plant_samples dates < QUESTIONS
//     one answer line per question line: "d N" -> dateText(day N),
//     "r TEXT" -> readDate(TEXT) as its day number or "! problem",
//     "m YEAR MONTH" -> daysInMonth.
//   plant_samples calendar FILE TODAY MARGIN SEED
//     writes a plant's .ics into FILE and, on stdout, one JSON line per
//     recorder in the plant's order: its name, start and both durations in
//     hours (-1: none), from which the checker works out the days itself.
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "calculator/plant/plant_calendar.h"
#include "tests/calculator/random_entries.h"

namespace {

using namespace capacimo;

int answerDates() {
    for (std::string line; std::getline(std::cin, line);) {
        const std::string arg = line.substr(2);
        if (line[0] == 'd') {
            std::cout << dateText(CalendarDate(std::stoll(arg))) << '\n';
        } else if (line[0] == 'm') {
            std::cout << daysInMonth(std::stoi(arg), std::stoi(arg.substr(arg.find(' ')))) << '\n';
        } else {
            const DateReading read = readDate(arg);
            std::cout << (read.date ? std::to_string(read.date->daysSince1970()) : "! " + read.problem) << '\n';
        }
    }
    return 0;
}

// Names that need escaping, folding and telling apart; random setups and
// starts; and the last days of the calendar.
int writeCalendar(const std::string& path, CalendarDate today, int margin, unsigned seed) {
    FixedClock clock(today);
    Plant plant(clock, margin);
    std::mt19937 random(seed);
    const auto started = [](std::string name, std::optional<CalendarDate> start,
                            const CalculatorEntries& entries = defaultEntries()) {
        PlantRecorder r;
        r.name = std::move(name);
        r.entries = entries;
        r.start = start;
        return r;
    };
    // Three of one name, on days of their own.
    plant.append(started("Boiler 1", dateOf({2025, 2, 7})));
    plant.append(started("Boiler 1", dateOf({2026, 3, 17}), test::randomEntries(random)));
    plant.append(started("Kesselhaus; Nord, \"3\" \\ A\nB\r\nC", today));
    std::string longName;
    for (int i = 0; i < 12; ++i)
        longName +=
            "\xC3\x9C"
            "berwachung \xE2\x82\xAC\xF0\x9D\x84\x9E ";
    plant.append(started(longName, today - 20));
    plant.append(started("No start", std::nullopt));
    plant.append(started("Bad \xFF byte,\x01", today));
    plant.append(started("Boiler 1", dateOf({2026, 3, 14})));
    // Read out on 9999-12-31 exactly, and after it.
    const CalculationResult lasting = plant.rows()[0].result;
    const std::int64_t days = std::min(durationHours(lasting.internal), durationHours(lasting.card)) / 24;
    plant.append(started("Last day", kLastDate - days + margin));
    plant.append(started("After the last day", kLastDate - days + margin + 1));
    std::uniform_int_distribution<std::int64_t> anyDay(kFirstDate.daysSince1970(), kLastDate.daysSince1970());
    for (int i = 0; i < 300; ++i) {
        plant.append(started("Random " + std::to_string(i), CalendarDate(anyDay(random)), test::randomEntries(random)));
    }
    std::ofstream(path, std::ios::binary) << plantCalendar(plant.rows(), plant.terms());
    for (std::size_t i = 0; i < plant.size(); ++i) {
        const PlantRecorder& r = plant.recorders()[i];
        const CalculationResult& result = plant.rows()[i].result;
        const nlohmann::json line = {{"name", r.name},
                                     {"start", r.start ? nlohmann::json(r.start->daysSince1970()) : nlohmann::json()},
                                     {"internal_hours", durationHours(result.internal)},
                                     {"sd_hours", durationHours(result.card)}};
        // Bytes that are not UTF-8 as U+FFFD, as the calendar has them.
        std::cout << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "dates" && argc == 2) return answerDates();
    if (mode == "calendar" && argc == 6) {
        const DateReading today = readDate(argv[3]);
        if (today.date)
            return writeCalendar(argv[2], *today.date, std::stoi(argv[4]), static_cast<unsigned>(std::stoul(argv[5])));
    }
    std::cerr << "usage: plant_samples dates | plant_samples calendar FILE TODAY MARGIN SEED\n";
    return 2;
}
