#include <gtest/gtest.h>

#include <string>

#include "calculator/files/result_record.h"
#include "calculator/text/vocabulary.h"
#include "tests/calculator/random_entries.h"

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

Json resultOf(const CalculatorEntries& entries, const ResultOptions& options = {}) {
    const std::string text = resultJson(makeResultRecord(entries, options));
    EXPECT_EQ(text.find('\n'), text.size() - 1);  // one line
    return Json::parse(text);
}

// Every row names its medium by id and caption; SD rows carry the card size
// as a number that agrees with its text; total_hours counts the weeks, days
// and hours.
TEST(ResultJson, Rows) {
    ResultOptions allCards;
    allCards.allCards = true;
    const Json o = resultOf(defaultEntries(), allCards);
    EXPECT_EQ(o.begin().key(), "format");  // what the object is, first
    EXPECT_EQ(o["format"], "capacimo-result");
    EXPECT_EQ(o["version"], 1);
    EXPECT_EQ(o["setup_image_bytes"], 11263);
    const Json& rows = o["results"];
    ASSERT_EQ(rows.size(), 1 + kCardSizes.size());
    EXPECT_EQ(rows[0]["id"], "internal");
    EXPECT_FALSE(rows[0].contains("card_mb"));
    for (const Json& row : rows) {
        const auto medium = mediumFromId(row["id"].get<std::string>());
        ASSERT_TRUE(medium);
        EXPECT_EQ(row["medium"], mediumCaption(*medium));
        EXPECT_EQ(row["total_hours"].get<std::int64_t>(), row["weeks"].get<std::int64_t>() * 168 +
                                                              row["days"].get<std::int64_t>() * 24 +
                                                              row["hours"].get<std::int64_t>());
        if (*medium != Medium::Card) continue;
        const std::string card = row["card"];
        const int number = std::stoi(card);
        EXPECT_EQ(row["card_mb"], card.ends_with(" GB") ? number * 1024 : number) << card;
    }
    EXPECT_EQ(rows[4]["card_mb"], 2048);
}

TEST(ResultJson, StatusAndGroups) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 21;
    e.counts.groupValues[1] = 2;
    e.cycleItems[1] = 0;
    const Json o = resultOf(e);
    EXPECT_EQ(o["status"]["level"], "information");
    EXPECT_TRUE(o["status"]["text"].get<std::string>().starts_with("Information:"));
    const Json& groups = o["groups"];
    ASSERT_EQ(groups.size(), 10u);
    EXPECT_EQ(groups[0]["cycle"], "1min");
    EXPECT_EQ(groups[1]["cycle"], "Off");
    EXPECT_EQ(groups[1]["channels"][1], 1);
    EXPECT_FALSE(o.contains("breakdown"));
    EXPECT_FALSE(o.contains("plan"));
}

// The breakdown's rows add up to the bytes of two hours, before and after
// blocks close; the plan names what reaches the target: the defaults' SD card
// lasts 2535 weeks, so one week more takes the next card size.
TEST(ResultJson, BreakdownAndPlan) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 4;
    e.analysisItems[1] = 1;  // daily
    ResultOptions options;
    options.breakdown = true;
    options.target = Target{Medium::Card, 2536 * 168};
    for (const std::int32_t cycleItem : {e.cycleItems[0], 2}) {  // 1 min: one open block; 1 s: blocks close
        e.cycleItems[0] = cycleItem;
        const Json o = resultOf(e, options);
        std::int64_t sum = 0;
        double shares = 0;
        for (const Json& row : o["breakdown"]) {
            sum += row["bytes"].get<std::int64_t>();
            shares += row.value("share", 0.0);
        }
        EXPECT_EQ(sum, o["bytes_per_two_hours"].get<std::int64_t>());
        EXPECT_NEAR(shares, 1.0, 1e-9);
        const Json& first = o["breakdown"][0];
        EXPECT_EQ(first["kind"], "group");
        EXPECT_EQ(first["writer"], "Group 1");
        EXPECT_TRUE(first["without"].contains("sd"));
        EXPECT_EQ(o["breakdown"][1]["kind"], "analysis");
        EXPECT_EQ(o["breakdown"].back()["kind"], cycleItem == 2 ? "open_block" : "overhead");
    }
    e = defaultEntries();
    const Json plan = resultOf(e, options)["plan"];
    EXPECT_EQ(plan["medium"], "sd");
    EXPECT_EQ(plan["target_hours"], 2536 * 168);
    EXPECT_EQ(plan["card"], "512 MB");
    EXPECT_EQ(plan["card_mb"], 512);
    ASSERT_EQ(plan["groups"].size(), 1u);
    EXPECT_EQ(plan["groups"][0]["group"], 1);

    options.target = Target{Medium::Internal, 10'000'000};  // more than any setup lasts
    const Json none = resultOf(e, options)["plan"];
    EXPECT_FALSE(none.contains("card"));
    EXPECT_TRUE(none["groups"][0]["cycle"].is_null());
    EXPECT_TRUE(none["all_groups_cycle"].is_null());
}

// A calculator that answers one setup after another, with breakdown and
// plan in between, answers each as a calculator of its own would.
TEST(ResultJson, ReusedCalculatorAnswersAsAFreshOne) {
    std::mt19937 random(16);
    Calculator reused;
    for (int i = 0; i < 40; ++i) {
        const CalculatorEntries e = test::randomEntries(random);
        ResultOptions options;
        options.breakdown = i % 2 == 0;
        if (i % 3 != 0) options.target = Target{i % 2 ? Medium::Card : Medium::Internal, 4 * 168};
        EXPECT_EQ(resultJson(makeResultRecord(reused, e, options)), resultJson(makeResultRecord(e, options)));
    }
}

}  // namespace
}  // namespace capacimo
