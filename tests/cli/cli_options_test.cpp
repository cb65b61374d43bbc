#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/options.h"
#include "cli/report.h"

namespace capacimo::cli {
namespace {

ParseResult parse(QStringList args) {
    args.prepend("capacimo-calc");
    return parseOptions(args, defaultEntries());
}

Report report(const CalculatorEntries& entries, bool allCards = false) {
    Options o;
    o.entries = entries;
    o.allCards = allCards;
    return makeReport(o);
}

TEST(CliOptions, NoOptionsGiveTheResetDefaults) {
    const auto r = parse({});
    ASSERT_TRUE(r.ok());
    const CalculatorEntries d = defaultEntries();
    EXPECT_EQ(r.options.entries.counts.analog, 1);
    EXPECT_EQ(r.options.entries.counts.groupValues, d.counts.groupValues);
    EXPECT_EQ(r.options.entries.cycleItems, d.cycleItems);
    EXPECT_EQ(r.options.entries.cardItem, 0);
}

TEST(CliOptions, CountsTextsAndGroups) {
    const auto r = parse({"--analog",
                          "12",
                          "--analog-totalized=3",
                          "--digital-counters",
                          "14",
                          "--math-states",
                          "8",
                          "--analysis1",
                          "15min",
                          "--analysis2",
                          "Daily Analysis",
                          "--analysis4",
                          "annual",
                          "--card",
                          " 1 gb ",
                          "--group",
                          "1:cycle=100ms,values=8",
                          "--group",
                          "10:states=2,cycle=1h",
                          "--group",
                          "3:cycle=OFF",
                          "--json",
                          "--all-cards"});
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const auto& e = r.options.entries;
    EXPECT_EQ(e.counts.analog, 12);
    EXPECT_EQ(e.counts.analogTotalized, 3);
    EXPECT_EQ(e.counts.digitalCounters, 14);
    EXPECT_EQ(e.counts.mathStates, 8);
    EXPECT_EQ(analysisCodeForItem(0, e.analysisItems[0]), 8);
    EXPECT_EQ(analysisCodeForItem(1, e.analysisItems[1]), 17);
    EXPECT_EQ(analysisCodeForItem(3, e.analysisItems[3]), 20);
    EXPECT_EQ(e.cardItem, 2);
    EXPECT_EQ(storageCycleCodeForItem(0, e.cycleItems[0]), 1);
    EXPECT_EQ(e.counts.groupValues[0], 8);
    EXPECT_EQ(storageCycleCodeForItem(9, e.cycleItems[9]), 18);
    EXPECT_EQ(e.counts.groupStates[9], 2);
    EXPECT_EQ(e.cycleItems[2], 0);
    EXPECT_EQ(storageCycleCodeForItem(1, e.cycleItems[1]), 11);  // untouched groups keep 1 min
    EXPECT_TRUE(r.options.json);
    EXPECT_TRUE(r.options.allCards);
}

TEST(CliOptions, BadInputNamesTheOptionAndWhatItAccepts) {
    const struct {
        QStringList args;
        const char* mentions;
    } cases[] = {
        {{"--analog", "41"}, "0 to 40"},
        {{"--analog", "-1"}, "--analog"},
        {{"--digital-events", "15"}, "0 to 14"},
        {{"--math-counters", "9"}, "0 to 8"},
        {{"--analog", "three"}, "--analog"},
        {{"--analog", "99999999999999999999"}, "--analog"},
        {{"--analog"}, "--analog"},
        {{"--bogus"}, "bogus"},
        {{"stray"}, "stray"},
        {{"--analysis1", "daily"}, "12h"},
        {{"--analysis2", "1min"}, "annual"},
        {{"--card", "4GB"}, "2 GB"},
        {{"--group", "11:cycle=1s"}, "1..10"},
        {{"--group", "0:values=1"}, "1..10"},
        {{"--group", "x:values=1"}, "1..10"},
        {{"--group", "2"}, "--group"},
        {{"--group", "2:cycle=100ms"}, "group 2"},
        {{"--group", "1:cycle=7s"}, "100ms"},
        {{"--group", "1:values=9"}, "0..8"},
        {{"--group", "1:colour=red"}, "cycle, values and states"},
        {{"--group", "1:values"}, "--group"},
        {{"--target", "26"}, "26w"},
        {{"--target", "4d3w"}, "--target"},
        {{"--target", "-1w"}, "--target"},
        {{"--target", "1.5w"}, "--target"},
        {{"--target", "9999999w"}, "--target"},
        {{"--target", ""}, "--target"},
        {{"--target", "26w", "--medium", "usb"}, "internal or sd"},
        {{"--medium", "sd"}, "--target"},
    };
    for (const auto& c : cases) {
        const auto r = parse(c.args);
        EXPECT_FALSE(r.ok()) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.error.contains(c.mentions)) << r.error.toStdString();
        EXPECT_FALSE(r.error.contains('\n')) << r.error.toStdString();
    }
}

TEST(CliOptions, RetentionTargets) {
    const std::pair<const char*, std::int64_t> valid[] = {
        {"26w", 4368}, {"3w4d", 600}, {"180d", 4320}, {"12h", 12}, {"1w2d3h", 219}, {" 3W 4D ", 600}, {"0h", 0}};
    for (const auto& [text, hours] : valid) EXPECT_EQ(parseDuration(text), hours) << text;
    for (const char* bad : {"", "26", "w", "4d3w", "-1w", "1.5w", "9999999w", "26 weeks", "1w1w"}) {
        EXPECT_EQ(parseDuration(bad), std::nullopt) << bad;
    }
    const auto r = parse({"--target", "2w", "--medium", "SD"});
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.options.target->medium, Medium::Card);
    EXPECT_EQ(r.options.target->hours, 336);
    EXPECT_EQ(parse({"--target", "2w"}).options.target->medium, Medium::Internal);
}

// The breakdown's rows add up to the bytes of two hours; the plan names what
// reaches the target: the defaults' SD card lasts 2535 weeks, so one week more
// takes the next card size.
TEST(CliReport, BreakdownAndPlanInJson) {
    Options o;
    o.entries = defaultEntries();
    o.entries.counts.analog = 4;
    o.entries.analysisItems[1] = 1;  // daily
    o.breakdown = true;
    o.target = Target{Medium::Card, 2536 * 168};
    const QJsonObject json = QJsonDocument::fromJson(formatJson(makeReport(o))).object();
    const QJsonArray rows = json["breakdown"].toArray();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].toObject()["writer"].toString(), "Group 1");
    EXPECT_EQ(rows[0].toObject()["cycle"].toString(), "1min");
    EXPECT_EQ(rows[0].toObject()["records"].toInt(), 121);
    EXPECT_EQ(rows[1].toObject()["writer"].toString(), "Analysis 2");
    EXPECT_EQ(rows[1].toObject()["records"].toInt(), 1);
    EXPECT_EQ(rows[2].toObject(), (QJsonObject{{"writer", "Block overhead"}, {"bytes", 41}}));
    double sum = 0;
    for (const QJsonValue& row : rows) sum += row.toObject()["bytes"].toDouble();
    EXPECT_EQ(sum, json["bytes_per_two_hours"].toDouble());
    EXPECT_DOUBLE_EQ(rows[0].toObject()["share"].toDouble(), rows[0].toObject()["bytes"].toDouble() / sum);

    // Once blocks close, the open one is not counted: a row says so, and the sum still holds.
    o.entries.cycleItems[0] = 2;  // 1 s
    const QJsonArray closing = QJsonDocument::fromJson(formatJson(makeReport(o))).object()["breakdown"].toArray();
    EXPECT_EQ(closing.last().toObject()["writer"].toString(), "Open block, not counted");
    EXPECT_LT(closing.last().toObject()["bytes"].toDouble(), 0);
    EXPECT_TRUE(rows[0].toObject()["without"].toObject().contains("sd"));

    const QJsonObject plan = json["plan"].toObject();
    EXPECT_EQ(plan["medium"].toString(), "sd");
    EXPECT_EQ(plan["target_hours"].toInt(), 2536 * 168);
    EXPECT_EQ(plan["card"].toString(), "512 MB");
    ASSERT_EQ(plan["groups"].toArray().size(), 1);
    EXPECT_EQ(plan["groups"].toArray()[0].toObject()["group"].toInt(), 1);
    EXPECT_TRUE(plan.contains("all_groups_cycle"));

    o.entries.cycleItems[0] = defaultEntries().cycleItems[0];
    o.target = Target{Medium::Internal, 10'000'000};  // more than any setup lasts
    const QJsonObject none = QJsonDocument::fromJson(formatJson(makeReport(o))).object()["plan"].toObject();
    EXPECT_FALSE(none.contains("card"));
    EXPECT_TRUE(none["groups"].toArray()[0].toObject()["cycle"].isNull());
    EXPECT_TRUE(none["all_groups_cycle"].isNull());
    const QString text = formatText(makeReport(o));
    EXPECT_TRUE(text.contains("Block overhead")) << text.toStdString();
    EXPECT_TRUE(text.contains("none reaches it")) << text.toStdString();
}

TEST(CliReport, TextShowsStatusAndRows) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 0;
    const QString text = formatText(report(e));
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "Error: There must be at least 1 active analog or digital channel!");
    EXPECT_TRUE(lines[2].startsWith("Internal memory"));
    EXPECT_EQ(lines[2].split(' ', Qt::SkipEmptyParts).mid(2), (QStringList{"51797", "0", "7"}));
    EXPECT_TRUE(lines[3].startsWith("SD Card"));
    EXPECT_EQ(lines[3].split(' ', Qt::SkipEmptyParts).mid(4), (QStringList{"69884", "4", "13"}));

    const QStringList all = formatText(report(defaultEntries(), true)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(all.size(), 6);  // header, internal memory, four cards
    EXPECT_TRUE(all[5].contains("2 GB"));
    EXPECT_TRUE(all[5].endsWith("20567     6     20"));
}

TEST(CliReport, JsonCarriesEverything) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 21;
    e.counts.groupValues[1] = 2;
    e.cycleItems[1] = 0;
    const auto doc = QJsonDocument::fromJson(formatJson(report(e)));
    ASSERT_TRUE(doc.isObject());
    const QJsonObject o = doc.object();
    EXPECT_EQ(o["setup_image_bytes"].toInt(), 11263);
    EXPECT_EQ(o["status"].toObject()["level"].toString(), "information");
    EXPECT_TRUE(o["status"].toObject()["text"].toString().startsWith("Information:"));
    const QJsonArray results = o["results"].toArray();
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(results[0].toObject()["medium"].toString(), "Internal memory");
    EXPECT_FALSE(results[0].toObject().contains("card"));
    EXPECT_EQ(results[1].toObject()["card"].toString(), "256 MB");
    const QJsonArray groups = o["groups"].toArray();
    ASSERT_EQ(groups.size(), 10);
    EXPECT_EQ(groups[1].toObject()["cycle"].toString(), "Off");
    EXPECT_EQ(groups[1].toObject()["channels"].toArray()[1].toInt(), 1);
    EXPECT_EQ(groups[0].toObject()["cycle"].toString(), "1min");
}

}  // namespace
}  // namespace capacimo::cli
