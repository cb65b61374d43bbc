// Setup files: what is refused and how it is named, what a missing key
// becomes, and that what the program writes reads back to the same bytes.
#include "calculator/files/setup_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/calculator/random_entries.h"

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

Json validObject() { return setupObject(defaultEntries(), "Boiler house, recorder 3"); }

std::string changed(const std::function<void(Json&)>& change) {
    Json object = validObject();
    change(object);
    return object.dump(2);
}

// The valid object's text with a number in JSON's form (or not) where mark
// puts kMark.
constexpr int kMark = 123454321;
std::string withNumber(const std::function<void(Json&)>& mark, const std::string& number) {
    std::string text = changed(mark);
    return text.replace(text.find(std::to_string(kMark)), std::to_string(kMark).size(), number);
}

TEST(SetupFile, RefusesWhatItDidNotWriteNamingTheFirstOffendingKey) {
    std::string tooLarge = validObject().dump(2);
    tooLarge.insert(1, kSetupFileLimit, ' ');
    std::string deep = "{\"format\": " + std::string(100000, '[') + std::string(100000, ']') + "}";
    // Within the size, beyond the budget of the form: a document of these
    // would outgrow the web edition's heap.
    const std::string nested(150000, '[');
    std::string zeros = "{\"analog\": [0";
    while (zeros.size() + 3 < kSetupFileLimit) zeros += ",0";
    zeros += "]}";
    const std::string valid = validObject().dump(2);
    std::string twice = valid;
    twice.insert(1, "\"analog\": 2,");
    std::string twiceInGroup = valid;
    twiceInGroup.replace(twiceInGroup.find("{", twiceInGroup.find("groups")), 1, "{\"values\": 1,");

    const struct {
        const char* what;
        std::string text;
        std::string start;  // the error begins with this
    } cases[] = {
        {"not JSON", "{\"format\": \"capacimo-setup\",\n  \"analog\": 4x}", "not valid JSON at line 2"},
        {"not an object", "[1, 2]", "the text is not a JSON object"},
        {"over 1 MiB", tooLarge, "larger than 1048576 bytes"},
        {"nested deeply", deep, "nested deeper than 16 levels"},
        {"150,000 lists in each other", nested, "nested deeper than 16 levels"},
        {"half a million zeros", zeros, "more than 1000 values"},
        {"a NUL byte and more", valid + std::string(1, '\0') + "{\"analog\": 41}", "holds a NUL byte at line "},
        {"beyond a double", "{\"format\": \"capacimo-setup\", \"analog\": 1e400}", "\"analog\": 1e400 is too large"},
        {"beyond a double in a group", withNumber([](Json& o) { o["groups"][1]["values"] = kMark; }, "-1e400"),
         "\"group2.values\": -1e400 is too large a number"},
        {"a large double", changed([](Json& o) { o["analog"] = 1e308; }), "\"analog\": 1e+308 is outside 0..40"},
        {"a large negative double", changed([](Json& o) { o["analog"] = -1e308; }), "\"analog\": -1e+308 is outside"},
        {"NaN", withNumber([](Json& o) { o["analog"] = kMark; }, "NaN"), "not valid JSON at line 7, column 13"},
        {"a version with a fraction", changed([](Json& o) { o["version"] = 1.5; }), "\"version\": 1.5 is no version"},
        {"a name too long", changed([](Json& o) { o["name"] = std::string(kSetupNameLimit + 1, 'n'); }),
         "\"name\": 257 characters; a name holds at most 256"},
        {"another format", changed([](Json& o) { o["format"] = "capacimo-plant"; }), "\"format\": \"capacimo-plant\""},
        {"no format", changed([](Json& o) { o.erase("format"); }), "\"format\": missing"},
        {"newer version", changed([](Json& o) { o["version"] = 2; }), "\"version\": 2 is newer"},
        {"no version", changed([](Json& o) { o["version"] = "1"; }), "\"version\": \"1\""},
        {"another model", changed([](Json& o) { o["model"] = "Scribent X"; }), "\"model\": \"Scribent X\""},
        {"unknown key", changed([](Json& o) { o["analogue"] = 4; }), "\"analogue\": unknown key"},
        {"unknown group key", changed([](Json& o) { o["groups"][2]["speed"] = 1; }), "\"group3.speed\": unknown key"},
        {"count as text", changed([](Json& o) { o["analog"] = "4"; }), "\"analog\": \"4\" is not a whole number"},
        {"count as fraction", changed([](Json& o) { o["math-states"] = 4.5; }), "\"math-states\": 4.5 is not"},
        {"count too large", changed([](Json& o) { o["analog"] = 41; }), "\"analog\": 41 is outside 0..40"},
        {"count negative", changed([](Json& o) { o["digital-events"] = -1; }), "\"digital-events\": -1 is outside"},
        {"count beyond 64 bits",
         changed([](Json& o) { o["groups"][0]["values"] = std::uint64_t{18446744073709551615u}; }),
         "\"group1.values\": 18446744073709551615 is outside 0..8"},
        {"not in the list", changed([](Json& o) { o["card"] = "3 GB"; }), "\"card\": \"3 GB\" is not one of"},
        {"list position", changed([](Json& o) { o["analysis2"] = 1; }), "\"analysis2\": 1 is not one of"},
        {"another case", changed([](Json& o) { o["analysis2"] = "Daily Analysis"; }), "\"analysis2\": "},
        {"100ms beyond group 1", changed([](Json& o) { o["groups"][1]["cycle"] = "100ms"; }), "\"group2.cycle\": "},
        {"nine groups", changed([](Json& o) { o["groups"].erase(9); }), "\"groups\": 9 groups"},
        {"group not an object", changed([](Json& o) { o["groups"][4] = 3; }), "\"group5\": 3 is not an object"},
        {"name not a text", changed([](Json& o) { o["name"] = 3; }), "\"name\": 3 is not a text"},
        {"name of two lines", changed([](Json& o) { o["name"] = "a\nb"; }), "\"name\": holds a control character"},
        {"the first of two", changed([](Json& o) {
             o["card"] = 0;
             o["analog"] = 99;
         }),
         "\"card\": "},
        {"key twice", twice, "\"analog\": appears twice"},
        {"key twice in a group", twiceInGroup, "\"group1.values\": appears twice"},
    };
    ASSERT_TRUE(readSetupText(valid).setup) << readSetupText(valid).error;
    for (const auto& c : cases) {
        const SetupReadResult result = readSetupText(c.text);
        EXPECT_FALSE(result.setup) << c.what;
        EXPECT_EQ(result.error.substr(0, c.start.size()), c.start) << c.what << ": " << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << c.what;
    }
}

// JSON does not tell 8 from 8.0, nor does the published schema: a whole
// number is read in any of its forms, and -0 is 0.
TEST(SetupFile, AWholeNumberIsReadInAnyForm) {
    for (const auto& [number, analog] : {std::pair{"8.0", 8}, {"0.8e1", 8}, {"40E0", 40}, {"-0", 0}, {"-0.0", 0}}) {
        std::string text = withNumber([](Json& o) { o["analog"] = kMark; }, number);
        text.replace(text.find("\"version\": 1"), 12, "\"version\": 1.0");
        const SetupReadResult read = readSetupText(text);
        ASSERT_TRUE(read.setup) << number << ": " << read.error;
        EXPECT_EQ(read.setup->entries.counts.analog, analog) << number;
    }
}

// Whatever the reader takes is saved within the size it takes, and reads again.
TEST(SetupFile, TheLargestFileReadIsSavedWithinTheLimit) {
    Json object = validObject();
    object["name"] = "";
    const std::size_t rest = object.dump().size();
    // The longest name, and a name that fills the file; of quotes, which are
    // written escaped and take twice their number of bytes.
    for (const std::size_t length : {kSetupNameLimit, (kSetupFileLimit - rest) / 2}) {
        object["name"] = std::string(length, '"');
        std::string text = object.dump();
        text.insert(1, kSetupFileLimit - text.size(), ' ');
        const SetupReadResult read = readSetupText(text);
        if (length > kSetupNameLimit) {
            EXPECT_EQ(read.error.substr(0, 7), "\"name\":") << read.error;
            continue;
        }
        ASSERT_TRUE(read.setup) << read.error;
        const std::string written = writeSetupText(read.setup->entries, read.setup->name);
        EXPECT_LE(written.size(), kSetupFileLimit);
        const SetupReadResult again = readSetupText(written);
        ASSERT_TRUE(again.setup) << again.error;
        EXPECT_EQ(again.setup->name, read.setup->name);
    }
    // A name given longer is saved cut to the limit, at a whole character.
    std::string euros;
    for (std::size_t i = 0; i <= kSetupNameLimit; ++i) euros += "\xE2\x82\xAC";
    const SetupReadResult cut = readSetupText(writeSetupText(defaultEntries(), euros));
    ASSERT_TRUE(cut.setup) << cut.error;
    EXPECT_EQ(cut.setup->name, euros.substr(0, 3 * kSetupNameLimit));
}

TEST(SetupFile, AMissingKeyTakesItsResetValueAndIsReported) {
    Json object = validObject();
    object["analog"] = 7;
    object["card"] = "1 GB";
    object.erase("analog-impulse");
    object.erase("analysis3");
    object.erase("name");
    object["groups"][1].erase("states");
    object["groups"][1]["values"] = 5;
    const SetupReadResult result = readSetupText(object.dump());
    ASSERT_TRUE(result.setup) << result.error;
    EXPECT_EQ(result.setup->defaultedKeys, (std::vector<std::string>{"analog-impulse", "analysis3", "group2.states"}));
    EXPECT_EQ(result.setup->name, "");
    CalculatorEntries expected = defaultEntries();
    expected.counts.analog = 7;
    expected.cardItem = 2;
    expected.counts.groupValues[1] = 5;
    EXPECT_EQ(result.setup->entries, expected);

    object.erase("groups");
    const SetupReadResult noGroups = readSetupText(object.dump());
    ASSERT_TRUE(noGroups.setup) << noGroups.error;
    EXPECT_EQ(noGroups.setup->defaultedKeys.back(), "groups");
    EXPECT_EQ(noGroups.setup->entries.cycleItems, defaultEntries().cycleItems);
}

// Counts that contradict each other are kept as written; the count checks report them.
TEST(SetupFile, ContradictingCountsAreReadAsWritten) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 3;
    e.counts.analogTotalized = 5;
    e.counts.groupValues[0] = 8;
    e.counts.groupStates[0] = 8;
    const SetupReadResult result = readSetupText(writeSetupText(e, ""));
    ASSERT_TRUE(result.setup) << result.error;
    EXPECT_EQ(result.setup->entries, e);
}

TEST(SetupFile, WhatIsWrittenReadsBackToTheSameBytes) {
    std::mt19937 random(2026);
    const std::string names[] = {"", "Kessel 3, \"Nord\"", "back\\slash / \xE2\x82\xAC \xF0\x9F\x93\x88", "{}[],:"};
    for (int i = 0; i < 100; ++i) {
        const CalculatorEntries entries = test::randomEntries(random);
        const std::string& name = names[static_cast<std::size_t>(i) % std::size(names)];
        const std::string text = writeSetupText(entries, name);
        const SetupReadResult read = readSetupText(text);
        ASSERT_TRUE(read.setup) << read.error << '\n' << text;
        EXPECT_EQ(read.setup->entries, entries);
        EXPECT_EQ(read.setup->name, name);
        EXPECT_TRUE(read.setup->defaultedKeys.empty());
        EXPECT_EQ(writeSetupText(read.setup->entries, read.setup->name), text);
        EXPECT_EQ(text.back(), '\n');
    }
    // What the controls would make of a typed count or a lost selection, and a
    // name that is no one line of UTF-8, is written so that it reads back.
    CalculatorEntries typed = defaultEntries();
    typed.counts.analog = 99;
    typed.cycleItems[3] = -1;
    const SetupReadResult read = readSetupText(writeSetupText(typed, "two\nlines \xFF"));
    ASSERT_TRUE(read.setup) << read.error;
    EXPECT_EQ(read.setup->entries.counts.analog, 40);
    EXPECT_EQ(read.setup->entries.cycleItems[3], 0);
    EXPECT_EQ(read.setup->name, "two lines \xEF\xBF\xBD");
}

TEST(SetupFile, KeysComeInTheOrderPeopleReadThem) {
    std::vector<std::string> keys;
    const Json object = validObject();
    for (const auto& item : object.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"format",
                                              "version",
                                              "model",
                                              "name",
                                              "card",
                                              "analog",
                                              "analog-totalized",
                                              "analog-impulse",
                                              "digital-events",
                                              "digital-events-optime",
                                              "digital-counters",
                                              "math-values",
                                              "math-values-totalized",
                                              "math-states",
                                              "math-counters",
                                              "analysis1",
                                              "analysis2",
                                              "analysis3",
                                              "analysis4",
                                              "groups"}));
    const std::string text = writeSetupText(defaultEntries(), "");
    EXPECT_NE(text.find("\n    {\"cycle\": \"1min\", \"values\": 1, \"states\": 0},\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace capacimo
