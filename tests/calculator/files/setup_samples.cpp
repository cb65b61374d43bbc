// Writes setup files as the program writes them, and the entry table's
// options with their lists and ranges, for check_setup_schema.py to hold the
// published schema against; and says which files the program reads.
// Usage: setup_samples DIR | setup_samples --read FILE...
#include <fstream>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "calculator/files/setup_file.h"
#include "tests/calculator/random_entries.h"

namespace {

using capacimo::Entry;
using Json = nlohmann::ordered_json;

Json describe(const Entry& entry) {
    if (entry.isList()) return {{"items", entry.items}};
    return {{"maximum", entry.maximum}};
}

bool save(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 1 && std::string(argv[1]) == "--read") {
        // One line a file: "read", or "refused: " and the reason.
        for (int i = 2; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            const capacimo::SetupReadResult read = capacimo::readSetupText(text);
            std::cout << (read.setup ? "read" : "refused: " + read.error) << '\n';
        }
        return 0;
    }
    if (argc != 2) {
        std::cerr << "usage: setup_samples DIR | setup_samples --read FILE...\n";
        return 2;
    }
    const std::string dir = argv[1];
    Json table;
    for (const Entry* entry : capacimo::topLevelEntries()) table["top"][entry->option] = describe(*entry);
    table["name"] = {{"maxLength", capacimo::kSetupNameLimit}};
    for (int g = 0; g < capacimo::kGroups; ++g) {
        Json group = Json::object();
        for (const Entry* entry : capacimo::groupEntries(g)) group[entry->option] = describe(*entry);
        table["groups"].push_back(group);
    }
    bool ok = save(dir + "/table.json", table.dump(2));

    // The defaults, every entry at its last value, and random setups.
    capacimo::CalculatorEntries last;
    for (const Entry& entry : capacimo::entryTable()) entry.field(last) = entry.maximum;
    ok = ok && save(dir + "/default.capacimo", capacimo::writeSetupText(capacimo::defaultEntries(), ""));
    ok = ok && save(dir + "/last.capacimo", capacimo::writeSetupText(last, "Kesselhaus \"3\", Schreiber \xC3\xBC"));
    std::mt19937 random(7);
    for (int i = 0; i < 50; ++i) {
        const std::string name = "random-" + std::to_string(i);
        ok = ok && save(dir + "/" + name + ".capacimo",
                        capacimo::writeSetupText(capacimo::test::randomEntries(random), name));
    }
    if (!ok) std::cerr << "setup_samples: cannot write into " << dir << '\n';
    return ok ? 0 : 1;
}
