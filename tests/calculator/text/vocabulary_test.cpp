#include <gtest/gtest.h>

#include <set>

#include "calculator/text/vocabulary.h"

namespace capacimo {
namespace {

TEST(Vocabulary, MediumIdsRoundTrip) {
    std::set<std::string_view> ids;
    for (const Medium m : kMedia) {
        EXPECT_EQ(mediumFromId(mediumId(m)), m);
        ids.insert(mediumId(m));
    }
    EXPECT_EQ(ids.size(), kMedia.size());
    for (const char* unknown : {"", "SD", "sd ", "usb", "internal memory"})
        EXPECT_EQ(mediumFromId(unknown), std::nullopt);
    EXPECT_EQ(mediumCaption(Medium::Card), "SD Card");
    EXPECT_EQ(resultRowCaption(Medium::Card, 2), "SD Card 1 GB");
}

TEST(Vocabulary, Retention) {
    const std::pair<const char*, std::int64_t> valid[] = {
        {"26w", 26 * 168},        {"3w4d", 3 * 168 + 4 * 24}, {"180d", 180 * 24}, {"12h", 12},
        {"1w2d3h", 168 + 48 + 3}, {" 3W 4D ", 600},           {"0h", 0},          {"999999w", 999999LL * 168}};
    for (const auto& [text, hours] : valid) EXPECT_EQ(parseRetention(text), hours) << text;
    for (const char* bad : {"", "  ", "w", "26", "3d4w", "1w1w", "2h3d", "-1w", "1.5w", "26 weeks", "1000000w",
                            "99999999999999999999w", "4x", "1w\n2d\x01"}) {
        EXPECT_EQ(parseRetention(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(retentionText(*parseRetention("3w4d")), "3 weeks 4 days");
    EXPECT_EQ(retentionText(*parseRetention("1w1h")), "1 week 1 hour");
    EXPECT_EQ(retentionText(0), "0 hours");
}

TEST(Vocabulary, NamesAndNumbers) {
    EXPECT_EQ(writerName(0), "Group 1");
    EXPECT_EQ(writerName(kGroups - 1), "Group 10");
    EXPECT_EQ(writerName(kGroups), "Analysis 1");
    EXPECT_EQ(writerKind(kGroups), BreakdownKind::Analysis);
    EXPECT_EQ(entryLabel(entryOf(EntryId::CardSize)), "SD Card size");
    EXPECT_EQ(entryLabel(entryOf(EntryId::GroupCycle, 2)), "Group 3 storage cycle");
    EXPECT_EQ(groupedNumber(0), "0");
    EXPECT_EQ(groupedNumber(999), "999");
    EXPECT_EQ(groupedNumber(1000), "1,000");
    EXPECT_EQ(groupedNumber(-1234567), "-1,234,567");
}

// Whatever does not reach the target is said in the same words: the card,
// a group, all groups.
TEST(Vocabulary, PlanMissesInOneWording) {
    Plan plan;
    plan.groups = {{0, CycleChoice{2, 2}}, {3, std::nullopt}};
    const PlanWords words = planWords(plan, Medium::Card, 26 * 168, 0, StorageDuration{2, 3, 4});
    EXPECT_EQ(words.heading, "To keep 26 weeks on the SD Card (256 MB), which now lasts 2 w 3 d 4 h:");
    ASSERT_EQ(words.answers.size(), 4u);
    EXPECT_EQ(words.answers[0].answer, "none reaches it");
    EXPECT_EQ(words.answers[1].question, "Group 1 alone:");
    EXPECT_EQ(words.answers[1].answer, "1s or slower");
    EXPECT_EQ(words.answers[2].answer, "none reaches it");
    EXPECT_EQ(words.answers[3].answer, "none reaches it");
    EXPECT_TRUE(words.note.empty());
    const PlanWords idle = planWords(Plan{}, Medium::Internal, 1, 0, StorageDuration{});
    EXPECT_TRUE(idle.answers.empty());
    EXPECT_FALSE(idle.note.empty());
}

}  // namespace
}  // namespace capacimo
