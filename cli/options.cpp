#include "cli/options.h"

#include <QCommandLineParser>
#include <algorithm>
#include <optional>
#include <utility>

#include "calculator/entries.h"
#include "calculator/text/vocabulary.h"
#include "common/safe_file.h"

namespace capacimo::cli {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// What --sort takes.
const QString kSortByReadOut = QStringLiteral("read-out");

QString fail(const QString& option, const QString& value, const QString& accepted) {
    return QStringLiteral("--%1: '%2' is not accepted; use %3").arg(option, printableText(value), accepted);
}

QString itemList(const Entry& entry) {
    QStringList items;
    for (const std::string& item : entry.items) items << text(item);
    return items.join(QStringLiteral(", "));
}

// The entry's value read as a plant's cell is read; nothing when it does not fit.
std::optional<std::int32_t> typed(const Entry& entry, const QString& value) {
    return typedValue(entry, value.toStdString()).value;
}

// The entries that have an option of their own: the counts, analyses and card.
bool hasOwnOption(const Entry& entry) { return entry.page != EntryPage::Group; }

QString describe(const Entry& entry) {
    QString summary = text(entry.summary);
    summary[0] = summary[0].toUpper();
    if (entry.isList()) return QStringLiteral("%1: %2.").arg(summary, itemList(entry));
    // The alarm page's entries are amounts (percent, megabytes), not counts.
    if (entry.page == EntryPage::Alarms)
        return QStringLiteral("%1, 0 to %2 (default 0).").arg(summary).arg(entry.maximum);
    return QStringLiteral("Number of %1, 0 to %2.").arg(text(entry.summary)).arg(entry.maximum);
}

void set(Options& o, const Entry& entry, std::int32_t value) {
    entry.field(o.entries) = value;
    o.overrides.push_back({&entry, value});
}

QString parseGroup(const QString& groupText, Options& o) {
    const QString accepted = QStringLiteral("G:cycle=T,values=N,states=N with G 1..%1, N 0..%2")
                                 .arg(kGroups)
                                 .arg(entryOf(EntryId::GroupValues).maximum);
    const qsizetype colon = groupText.indexOf(':');
    bool ok = false;
    const int group = groupText.left(colon).trimmed().toInt(&ok, 10);
    if (colon < 0 || !ok || group < 1 || group > kGroups) return fail("group", groupText, accepted);
    for (const QString& setting : groupText.mid(colon + 1).split(',')) {
        const qsizetype eq = setting.indexOf('=');
        const QString key = setting.left(eq).trimmed().toLower();
        if (eq < 0 || key.isEmpty()) return fail("group", groupText, accepted);
        const Entry* entry = nullptr;
        for (const Entry& e : entryTable()) {
            if (e.page == EntryPage::Group && e.index == group - 1 && text(e.option) == key) entry = &e;
        }
        if (entry == nullptr) return fail("group", groupText, QStringLiteral("the keys cycle, values and states"));
        const QString value = setting.mid(eq + 1);
        const auto n = typed(*entry, value);
        if (!n && entry->isList()) {
            return fail("group", groupText, QStringLiteral("a cycle of group %1: %2").arg(group).arg(itemList(*entry)));
        }
        if (!n) return fail("group", groupText, QStringLiteral("%1=N with N 0..%2").arg(key).arg(entry->maximum));
        set(o, *entry, *n);
    }
    return {};
}

// Sets one entry from its option's value; an error text when it does not fit.
QString parseEntry(const Entry& entry, const QString& value, Options& o) {
    const auto n = typed(entry, value);
    if (!n) {
        return fail(
            text(entry.option), value,
            entry.isList() ? itemList(entry) : QStringLiteral("a whole number from 0 to %1").arg(entry.maximum));
    }
    set(o, entry, *n);
    return {};
}

// "internal", "sd": the words --medium takes.
QStringList mediumIds() {
    QStringList ids;
    for (const Medium m : kMedia) ids << text(std::string(mediumId(m)));
    return ids;
}

QString parseTarget(const QCommandLineParser& parser, Options& o) {
    const bool medium = parser.isSet("medium");
    if (!parser.isSet("target")) {
        return medium ? QStringLiteral("--medium: goes with --target DURATION; see --help") : QString();
    }
    const QString value = parser.values("target").last();
    const auto hours = parseRetention(value.toStdString());
    if (!hours) return fail("target", value, QStringLiteral("weeks, days and hours such as 26w, 3w4d, 180d or 12h"));
    Target target{Medium::Internal, *hours};
    if (medium) {
        const QString name = parser.values("medium").last();
        std::vector<std::string> ids;
        for (const Medium m : kMedia) ids.emplace_back(mediumId(m));
        const auto chosen = itemNamed(ids, name.toStdString());
        if (!chosen) return fail("medium", name, mediumIds().join(QStringLiteral(" or ")));
        target.medium = kMedia[*chosen];
    }
    o.result.target = target;
    return {};
}

// --start, --today, --margin and --sort.
QString parseDates(const QCommandLineParser& parser, Options& o) {
    for (const auto& [option, day] : {std::pair{"start", &o.start}, std::pair{"today", &o.today}}) {
        if (!parser.isSet(option)) continue;
        const DateReading read = readDate(parser.values(option).last().toStdString());
        if (!read.date) return QStringLiteral("--%1: %2").arg(QLatin1String(option), text(read.problem));
        *day = read.date;
    }
    if (parser.isSet("margin")) {
        const QString value = parser.values("margin").last();
        const std::optional<int> days = readMarginDays(value.toStdString());
        if (!days) return fail("margin", value, text(marginRule()));
        o.marginDays = *days;
    }
    if (parser.isSet("sort")) {
        const QString value = parser.values("sort").last();
        const std::string orders[] = {kSortByReadOut.toStdString()};
        if (!itemNamed(orders, value.toStdString())) return fail("sort", value, kSortByReadOut);
        o.sortByReadOut = true;
    }
    return {};
}

// The options of a plant's days.
QList<QCommandLineOption> dateOptions() {
    return {
        QCommandLineOption("start",
                           "The day the recorder's memory was last emptied (installed, read out, card changed), "
                           "as 2026-03-14 or 14.03.2026: adds the day each medium is full, the day to read it out "
                           "by and its state (ok, due, overdue, short). For a plant, the start of every recorder "
                           "whose row names none. Example: --start 2026-03-14.",
                           "DATE"),
        QCommandLineOption("margin",
                           QStringLiteral("Read out this many days before a medium is full: 0 to %1 (default %2).")
                               .arg(kLargestMarginDays)
                               .arg(kDefaultMarginDays),
                           "DAYS"),
        QCommandLineOption("today", "Judge the read-out days against DATE instead of the system's date.", "DATE"),
        QCommandLineOption("sort",
                           QStringLiteral("%1: a plant's rows by the day to read them out by, soonest first "
                                          "(rows without one last); otherwise as given.")
                               .arg(kSortByReadOut),
                           kSortByReadOut),
        QCommandLineOption("ics",
                           "Also write the read-out days as an iCalendar file to FILE.ics, to import into a "
                           "calendar program: one all-day event per recorder with a start, with a reminder the "
                           "margin before.",
                           "FILE.ics"),
    };
}

// The files a run reads and writes besides its result.
QList<QCommandLineOption> fileOptions() {
    QList<QCommandLineOption> list;
    const QString extension = text(std::string(kSetupExtension));
    list << QCommandLineOption("setup",
                               QStringLiteral("Calculate the setup saved in FILE (%1); the other options change it. "
                                              "Given more than once, or with a plant CSV (FILE.csv: a header row of "
                                              "option names and name, start, target, medium, group1.cycle, "
                                              "group1.values, group1.states .. group10.states; one recorder per "
                                              "row), one row per recorder: name, both durations, the status, the "
                                              "full-on and read-out days and the state.")
                                   .arg(extension),
                               "FILE");
    list << QCommandLineOption(
        "save-setup",
        QStringLiteral("Also save the setup that was calculated to FILE (%1); a plant, or one setup with its start, "
                       "as a plant CSV to FILE.csv.")
            .arg(extension),
        "FILE");
    list << QCommandLineOption("report",
                               "Also write the one-page PDF report of the setup to FILE, with where the bytes go "
                               "and, with --target, what reaches it; for a plant, a summary of its recorders by "
                               "read-out day, then each recorder's page.",
                               "FILE.pdf");
    return list;
}

QList<QCommandLineOption> optionList() {
    QList<QCommandLineOption> list;
    for (const Entry& entry : entryTable()) {
        if (hasOwnOption(entry))
            list << QCommandLineOption(text(entry.option), describe(entry), entry.isList() ? "T" : "N");
    }
    const Entry& cycle = entryOf(EntryId::GroupCycle, 1);
    const Entry& values = entryOf(EntryId::GroupValues);
    const Entry& states = entryOf(EntryId::GroupStates);
    const Entry& alarm = entryOf(EntryId::GroupAlarmCycle);
    list << QCommandLineOption("group",
                               QStringLiteral("Group G (1 to %1): %2=T its %3 (%4; group 1 also 100ms), %5=N its %6 "
                                              "and %7=N its %8 (0 to %9), %10=T its %11 (%12 or one of its cycles "
                                              "but Off). Repeatable. Example: --group 2:cycle=10s,states=4,alarm=1s.")
                                   .arg(kGroups)
                                   .arg(text(cycle.option), text(cycle.summary), itemList(cycle), text(values.option),
                                        text(values.summary), text(states.option), text(states.summary))
                                   .arg(values.maximum)
                                   .arg(text(alarm.option), text(alarm.summary), text(std::string(kSameCycleText))),
                               "G:cycle=T,values=N,states=N,alarm=T");
    list << QCommandLineOption("all-cards", "One SD Card row for every card size.");
    list << QCommandLineOption("breakdown",
                               "Also show where the bytes of two hours go: each group's and analysis's records and "
                               "bytes, their share, and both durations without it. Example: --breakdown --group "
                               "1:cycle=1s,values=4.");
    list << QCommandLineOption("target",
                               "A retention to reach, in weeks, days and hours (26w, 3w4d, 180d, 12h): shows the "
                               "smallest SD Card, each group's fastest storage cycle and one cycle for all groups "
                               "that reach it. Example: --target 26w --medium sd.",
                               "DURATION");
    list << QCommandLineOption(
        "medium",
        QStringLiteral("The medium of --target: %1 (the default) or %2.")
            .arg(text(std::string(mediumId(Medium::Internal))), text(std::string(mediumId(Medium::Card)))),
        mediumIds().join(u'|'));
    list << fileOptions();
    list << dateOptions();
    list << QCommandLineOption("json",
                               "Print the result as one JSON object on one line, with the setup under \"setup\"; "
                               "for a plant, a JSON array of them.");
    list << QCommandLineOption("csv", "Print a plant's rows as CSV.");
    list << QCommandLineOption("from-settings",
                               "Start from the entries the calculator dialog stored for the current user; "
                               "the other options change them.");
    list << QCommandLineOption({"h", "help"}, "Show this help.");
    list << QCommandLineOption({"v", "V", "version"}, "Show the version.");
    return list;
}

void setUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Storage duration of a \"%1\" process recorder's internal memory and SD Card.\n"
                       "Without options: the calculator's defaults (1 analog channel, group 1 every minute, 256 MB).")
            .arg(text(std::string(kModelName))));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(optionList());
}

// Why an output would write over a file the run reads or another output
// writes, or empty: each output needs a file of its own.
QString clashingPaths(const Options& o) {
    const std::pair<const char*, const QString*> outputs[] = {
        {"save-setup", &o.saveSetupPath}, {"report", &o.reportPath}, {"ics", &o.calendarPath}};
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        const char* option = outputs[i].first;
        const QString* path = outputs[i].second;
        if (path->isEmpty()) continue;
        const auto clash = [&](const char* other) {
            return QStringLiteral(
                       "--%1: '%2' is also the file of --%3; name a file of its own, so that nothing is "
                       "written over")
                .arg(QLatin1String(option), shownPath(*path), QLatin1String(other));
        };
        for (const QString& input : o.setupPaths) {
            if (sameFile(*path, input)) return clash("setup");
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (!outputs[j].second->isEmpty() && sameFile(*path, *outputs[j].second)) return clash(outputs[j].first);
        }
    }
    return {};
}

}  // namespace

CalculatorEntries withOverrides(CalculatorEntries entries, const Options& options) {
    for (const EntryValue& v : options.overrides) v.entry->field(entries) = v.value;
    return entries;
}

CalculatorEntries entriesOf(const SetupFile& file, const CalculatorEntries& start, const Options& options) {
    CalculatorEntries entries = file.entries;
    auto left = [&file](const std::string& key) {
        return std::find(file.defaultedKeys.begin(), file.defaultedKeys.end(), key) != file.defaultedKeys.end();
    };
    for (const Entry* entry : topLevelEntries()) {
        if (left(entry->option)) entry->field(entries) = entry->field(start);
    }
    const bool noGroups = left(std::string(kSetupGroupsKey));
    for (int g = 0; g < kGroups; ++g) {
        for (const Entry* entry : groupEntries(g)) {
            if (noGroups || left(groupKey(g, *entry))) entry->field(entries) = entry->field(start);
        }
    }
    return withOverrides(entries, options);
}

std::string defaultedText(const SetupFile& file) {
    const auto& left = file.defaultedKeys;
    auto isLeft = [&left](const std::string& key) { return std::find(left.begin(), left.end(), key) != left.end(); };
    std::vector<std::string> keys;
    for (const Entry* entry : topLevelEntries()) {
        if (isLeft(entry->option)) keys.push_back(entry->option);
    }
    // A group left out whole is named once, and a run of them as a range:
    // a plant CSV with a few columns leaves out most of the forty.
    const bool noGroups = isLeft(std::string(kSetupGroupsKey));
    auto wholeGroupLeft = [&](int g) {
        const auto& entries = groupEntries(g);
        return noGroups || std::all_of(entries.begin(), entries.end(),
                                       [&](const Entry* e) { return e->writtenWhenSet || isLeft(groupKey(g, *e)); });
    };
    for (int g = 0; g < kGroups; ++g) {
        if (wholeGroupLeft(g)) {
            int last = g;
            while (last + 1 < kGroups && wholeGroupLeft(last + 1)) ++last;
            const std::string first = "group" + std::to_string(g + 1);
            keys.push_back(last == g ? first : first + " .. group" + std::to_string(last + 1));
            g = last;
            continue;
        }
        for (const Entry* entry : groupEntries(g)) {
            if (isLeft(groupKey(g, *entry))) keys.push_back(groupKey(g, *entry));
        }
    }
    std::string text;
    for (const std::string& key : keys) text += (text.empty() ? "" : ", ") + key;
    return text.empty() ? text : "these take their defaults: " + text;
}

SetupReadResult readSetupFile(const QString& path) {
    const FileRead file = readWholeFile(path, kSetupKind, kSetupFileLimit);
    if (!file.ok()) return {std::nullopt, file.error};
    SetupReadResult read = readSetupText(file.bytes);
    if (!read.setup) read.error = fileFailure(path, QString::fromStdString(read.error)).toStdString();
    return read;
}

PlantTerms plantTerms(const Options& options) {
    return {options.today ? *options.today : SystemClock().today(), options.marginDays};
}

QString helpText() {
    QCommandLineParser parser;
    setUpParser(parser);
    return parser.helpText();
}

ParseResult parseOptions(const QStringList& arguments, const CalculatorEntries& start) {
    ParseResult result;
    Options& o = result.options;
    o.entries = start;

    QCommandLineParser parser;
    setUpParser(parser);
    if (!parser.parse(arguments)) {
        result.error = printableText(parser.errorText()) + QStringLiteral(" See --help.");
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument '%1'; options start with --. See --help.")
                           .arg(printableText(parser.positionalArguments().first()));
        return result;
    }
    o.help = parser.isSet("help");
    o.version = parser.isSet("version");
    o.json = parser.isSet("json");
    o.csv = parser.isSet("csv");
    // An empty path names no file, where taking it for "none" would say nothing.
    for (const char* option : {"setup", "save-setup", "report", "ics"}) {
        if (parser.values(option).contains(QString())) {
            result.error = QStringLiteral("--%1: empty path; name a file").arg(QLatin1String(option));
            return result;
        }
    }
    o.setupPaths = parser.values("setup");
    o.saveSetupPath = parser.isSet("save-setup") ? parser.values("save-setup").last() : QString();
    o.reportPath = parser.isSet("report") ? parser.values("report").last() : QString();
    o.calendarPath = parser.isSet("ics") ? parser.values("ics").last() : QString();
    if (result.error = clashingPaths(o); !result.ok()) return result;
    if (o.json && o.csv) {
        result.error = QStringLiteral("--csv and --json: choose one. See --help.");
        return result;
    }
    o.result.allCards = parser.isSet("all-cards");
    o.fromSettings = parser.isSet("from-settings");

    for (const Entry& entry : entryTable()) {
        if (!hasOwnOption(entry) || !parser.isSet(text(entry.option))) continue;
        result.error = parseEntry(entry, parser.values(text(entry.option)).last(), o);
        if (!result.ok()) return result;
    }
    for (const QString& groupText : parser.values("group")) {
        result.error = parseGroup(groupText, o);
        if (!result.ok()) return result;
    }
    o.result.breakdown = parser.isSet("breakdown");
    result.error = parseTarget(parser, o);
    if (result.ok()) result.error = parseDates(parser, o);
    return result;
}

}  // namespace capacimo::cli
