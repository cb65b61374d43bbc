#include <gtest/gtest.h>

#include <QRegularExpression>

#include "calculator/files/setup_file.h"
#include "calculator/text/vocabulary.h"
#include "cli/options.h"
#include "cli/report.h"

namespace capacimo::cli {
namespace {

ParseResult parse(QStringList args) {
    args.prepend("capacimo-calc");
    return parseOptions(args, defaultEntries());
}

QStringList textLines(const CalculatorEntries& entries, const ResultOptions& options = {}) {
    return QString::fromStdString(formatText(makeResultRecord(entries, options))).split('\n', Qt::SkipEmptyParts);
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
    EXPECT_TRUE(r.options.result.allCards);
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

TEST(CliOptions, TargetAndMedium) {
    const auto r = parse({"--target", " 2W 1h", "--medium", "SD"});
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.options.result.target->medium, Medium::Card);
    EXPECT_EQ(r.options.result.target->hours, 337);
    EXPECT_EQ(parse({"--target", "2w"}).options.result.target->medium, Medium::Internal);
    EXPECT_FALSE(parse({"--breakdown"}).options.result.target.has_value());
    EXPECT_TRUE(parse({"--breakdown"}).options.result.breakdown);
}

// The text holds the result alone: the status line goes to stderr.
TEST(CliReport, TextShowsTheRows) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 0;
    const QStringList lines = textLines(e);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Result"));
    EXPECT_TRUE(lines[1].startsWith("Internal memory"));
    EXPECT_EQ(lines[1].split(' ', Qt::SkipEmptyParts).mid(2), (QStringList{"51797", "0", "7"}));
    EXPECT_TRUE(lines[2].startsWith("SD Card 256 MB"));
    EXPECT_EQ(lines[2].split(' ', Qt::SkipEmptyParts).mid(4), (QStringList{"69884", "4", "13"}));

    ResultOptions allCards;
    allCards.allCards = true;
    const QStringList all = textLines(defaultEntries(), allCards);
    ASSERT_EQ(all.size(), 6);  // header, internal memory, four cards
    EXPECT_TRUE(all[5].startsWith("SD Card 2 GB"));
    EXPECT_TRUE(all[5].endsWith("20567     6     20"));
}

// Where the bytes go and what reaches the target, each line with its figure;
// nothing reaches ten million hours, and every miss says so in the same words.
TEST(CliReport, BreakdownAndPlanText) {
    ResultOptions options;
    options.breakdown = true;
    options.target = Target{Medium::Internal, 10'000'000};
    CalculatorEntries e = defaultEntries();
    e.cycleItems[0] = 2;  // 1 s: blocks close, the open one is left out
    const QStringList lines = textLines(e, options);
    const auto row = [&lines](const QString& start) {
        for (const QString& l : lines) {
            if (l.startsWith(start)) return l.split(QRegularExpression("\\s{2,}"), Qt::SkipEmptyParts);
        }
        return QStringList{};
    };
    const QStringList group = row("Group 1 ");
    ASSERT_GE(group.size(), 6) << lines.join('\n').toStdString();
    EXPECT_EQ(group[2], "7200");
    const QStringList written = row("Written in two hours");
    const QStringList open = row("Open block, not counted");
    const QStringList counted = row("Two hours as the durations count them");
    ASSERT_EQ(written.size(), 2);
    ASSERT_EQ(open.size(), 2);
    ASSERT_EQ(counted.size(), 2);
    EXPECT_LT(open[1].toInt(), 0);
    EXPECT_EQ(written[1].toInt() + open[1].toInt(), counted[1].toInt());
    EXPECT_EQ(counted[1].toInt(), makeResultRecord(e, {}).result.written);
    EXPECT_EQ(row("  Group 1 alone:").value(1), "none reaches it");
    EXPECT_EQ(row("  All these groups alike:").value(1), "none reaches it");
}

// What a file leaves out comes from the starting entries (the stored ones
// with --from-settings), what it holds from the file, the options win.
TEST(CliOptions, AFileLiesBetweenTheStartingEntriesAndTheOptions) {
    const auto read = readSetupText(
        R"({"format": "capacimo-setup", "version": 1, "model": "Scribent S", "analog": 3,
            "groups": [{"cycle": "1s"}, {}, {}, {}, {}, {}, {}, {}, {}, {}]})");
    ASSERT_TRUE(read.setup) << read.error;
    CalculatorEntries start = defaultEntries();
    start.counts.analog = 5;
    start.counts.digitalEvents = 2;
    start.counts.groupValues[0] = 7;
    start.counts.groupValues[4] = 6;
    const auto over = parse({"--digital-events", "4"});
    ASSERT_TRUE(over.ok());
    const CalculatorEntries e = entriesOf(*read.setup, start, over.options);
    EXPECT_EQ(e.counts.analog, 3);
    EXPECT_EQ(e.counts.digitalEvents, 4);
    EXPECT_EQ(e.counts.groupValues[0], 7);
    EXPECT_EQ(e.counts.groupValues[4], 6);
    EXPECT_EQ(entryOf(EntryId::GroupCycle, 0).items.at(static_cast<std::size_t>(e.cycleItems[0])), "1s");
    EXPECT_EQ(defaultedText(*read.setup),
              "these take their defaults: card, analog-totalized, analog-impulse, digital-events, "
              "digital-events-optime, digital-counters, math-values, math-values-totalized, math-states, "
              "math-counters, analysis1, analysis2, analysis3, analysis4, group1.values, group1.states, "
              "group2 .. group10");
}

}  // namespace
}  // namespace capacimo::cli
