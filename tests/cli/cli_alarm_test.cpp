// capacimo-calc with alarms and a card reserve: its JSON held to the model
// from first principles on random setups, and what it refuses.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "calculator/entries.h"
#include "tests/calculator/alarm_model.h"
#include "tests/cli/run_calc.h"

namespace capacimo {
namespace {

// The command line of entries, each entry by its option as the entry table names it.
QStringList commandLine(const CalculatorEntries& e) {
    QStringList args;
    QStringList groups[kGroups];
    for (const Entry& entry : entryTable()) {
        const std::int32_t value = entry.field(e);
        const QString text = QString::fromStdString(entry.isList() ? entry.items[static_cast<std::size_t>(value)]
                                                                   : std::to_string(value));
        const QString option = QString::fromStdString(entry.option);
        if (entry.page == EntryPage::Group) {
            groups[entry.index] << option + '=' + text;
        } else {
            args << "--" + option << text;
        }
    }
    for (int g = 0; g < kGroups; ++g) args << "--group" << QString::number(g + 1) + ':' + groups[g].join(',');
    return args;
}

void expectDurations(const QJsonArray& results, const StorageDuration& internal, const StorageDuration& card) {
    const auto duration = [](const QJsonValue& v) {
        return StorageDuration{v["weeks"].toInt(), v["days"].toInt(), v["hours"].toInt()};
    };
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(duration(results[0]), internal);
    EXPECT_EQ(duration(results[1]), card);
}

TEST(CliAlarms, TheJsonFollowsThePlainReplays) {
    std::mt19937 rng(2929);
    for (int i = 0; i < 24; ++i) {
        // Within the options' ranges, which the random setups now and then leave.
        const CalculatorEntries e = fittedEntries(reference::randomScenario(rng));
        const QStringList args = commandLine(e) << "--json";
        const Outcome run = runCalc(args);
        SCOPED_TRACE(args.join(' ').toStdString());
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(run.out.toUtf8()).object();
        const reference::Expected x = reference::expectedFor(e);
        EXPECT_EQ(o["bytes_per_two_hours"].toInteger(), x.written);
        expectDurations(o["results"].toArray(), x.internal, x.card);
        const bool scenario = e.alarmShare > 0 || e.cardReserve > 0;
        ASSERT_EQ(o.contains("normal"), scenario);
        if (!scenario) continue;
        EXPECT_EQ(o["normal"]["bytes_per_two_hours"].toInteger(), x.normal);
        expectDurations(o["normal"]["results"].toArray(), x.normalInternal, x.normalCard);
        EXPECT_EQ(o["scenario"]["alarm_share"].toInt(), e.alarmShare);
        EXPECT_EQ(o["scenario"]["card_reserve_mb"].toInt(), e.cardReserve);
    }
}

// Each refusal names its rule, on the command line and in a setup file, and
// writes nothing.
TEST(CliAlarms, RefusesWhatIsOutOfRangeNamingTheRule) {
    const std::pair<QStringList, QString> refused[] = {
        {{"--alarm-share", "-1"}, "use a whole number from 0 to 100"},
        {{"--alarm-share", "101"}, "use a whole number from 0 to 100"},
        {{"--alarm-share", "7.5"}, "use a whole number from 0 to 100"},
        {{"--alarm-share", " 5"}, "use a whole number from 0 to 100"},
        {{"--group", "2:alarm=100ms"}, "use a cycle of group 2: same, 1s,"},
        {{"--group", "1:alarm=Off"}, "use a cycle of group 1: same, 100ms,"},
        {{"--card-reserve", "2049"}, "use a whole number from 0 to 2048"},
        {{"--card-reserve", "-1"}, "use a whole number from 0 to 2048"},
    };
    QTemporaryDir dir;
    const QString saved = dir.filePath("s.capacimo");
    for (const auto& [args, rule] : refused) {
        const Outcome run = runCalc(QStringList(args) << "--save-setup" << saved);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(rule)) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(saved));
    }
    const std::pair<const char*, const char*> inFiles[] = {
        {R"("alarm-share": 101)", "alarm-share"},
        {R"("alarm-share": 7.5)", "alarm-share"},
        {R"("alarm-share": " 5")", "alarm-share"},
        {R"("card-reserve": -1)", "card-reserve"},
        {R"("card-reserve": 2049)", "card-reserve"},
        {R"("groups": [{}, {"alarm": "100ms"}, {}, {}, {}, {}, {}, {}, {}, {}])", "100ms"},
        {R"("groups": [{"alarm": "Off"}, {}, {}, {}, {}, {}, {}, {}, {}, {}])", "Off"},
    };
    for (const auto& [member, key] : inFiles) {
        QFile file(dir.filePath("bad.capacimo"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(R"({"format": "capacimo-setup", "version": 1, "model": "Scribent S", )") + member + "}");
        file.close();
        const Outcome run = runCalc({"--setup", file.fileName()});
        EXPECT_EQ(run.exitCode, 2) << member;
        EXPECT_TRUE(run.err.contains(key)) << run.err.toStdString();
    }
}

}  // namespace
}  // namespace capacimo
