#include "cli/options.h"

#include <QCommandLineParser>
#include <optional>

#include "calculator/entries.h"
#include "calculator/vocabulary.h"

namespace capacimo::cli {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// Control characters (a line break in a value, say) written as escapes, so
// that an error stays one line.
QString printable(const QString& value) {
    QString out;
    for (const QChar c : value) {
        if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\t') {
            out += QLatin1String("\\t");
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

QString fail(const QString& option, const QString& value, const QString& accepted) {
    return QStringLiteral("--%1: '%2' is not accepted; use %3").arg(option, printable(value), accepted);
}

std::optional<int> parseCount(const QString& value, int maximum) {
    bool ok = false;
    const int v = value.trimmed().toInt(&ok, 10);
    if (!ok || v < 0 || v > maximum) return std::nullopt;
    return v;
}

QString itemList(const Entry& entry) {
    QStringList items;
    for (const std::string& item : entry.items) items << text(item);
    return items.join(QStringLiteral(", "));
}

// A list item by its text, ignoring case and blanks; the start of an item's
// text will do when it fits only that item ("daily" for "daily analysis").
int findItem(const QString& value, const Entry& entry) {
    const QString wanted = normalizedText(value);
    int found = -1;
    for (int i = 0; i < static_cast<int>(entry.items.size()); ++i) {
        const QString item = normalizedText(text(entry.items[static_cast<std::size_t>(i)]));
        if (item == wanted) return i;
        if (!wanted.isEmpty() && item.startsWith(wanted)) found = found == -1 ? i : -2;
    }
    return found >= 0 ? found : -1;
}

// The entries that have an option of their own: the counts, analyses and card.
bool hasOwnOption(const Entry& entry) { return entry.page != EntryPage::Group; }

QString describe(const Entry& entry) {
    QString summary = text(entry.summary);
    summary[0] = summary[0].toUpper();
    if (entry.isList()) return QStringLiteral("%1: %2.").arg(summary, itemList(entry));
    return QStringLiteral("Number of %1, 0 to %2.").arg(text(entry.summary)).arg(entry.maximum);
}

QString parseGroup(const QString& groupText, CalculatorEntries& entries) {
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
        if (entry->isList()) {
            const int item = findItem(value, *entry);
            if (item < 0) {
                return fail("group", groupText,
                            QStringLiteral("a cycle of group %1: %2").arg(group).arg(itemList(*entry)));
            }
            entry->field(entries) = item;
        } else {
            const auto n = parseCount(value, entry->maximum);
            if (!n) return fail("group", groupText, QStringLiteral("%1=N with N 0..%2").arg(key).arg(entry->maximum));
            entry->field(entries) = *n;
        }
    }
    return {};
}

// Sets one entry from its option's value; an error text when it does not fit.
QString parseEntry(const Entry& entry, const QString& value, CalculatorEntries& entries) {
    const QString option = text(entry.option);
    if (entry.isList()) {
        const int item = findItem(value, entry);
        if (item < 0) return fail(option, value, itemList(entry));
        entry.field(entries) = item;
        return {};
    }
    const auto n = parseCount(value, entry.maximum);
    if (!n) return fail(option, value, QStringLiteral("a whole number from 0 to %1").arg(entry.maximum));
    entry.field(entries) = *n;
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
        const auto chosen = mediumFromId(normalizedText(name).toStdString());
        if (!chosen) return fail("medium", name, mediumIds().join(QStringLiteral(" or ")));
        target.medium = *chosen;
    }
    o.result.target = target;
    return {};
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
    list << QCommandLineOption("group",
                               QStringLiteral("Group G (1 to %1): %2=T its %3 (%4; group 1 also 100ms), %5=N its %6 "
                                              "and %7=N its %8 (0 to %9). Repeatable. Example: --group "
                                              "2:cycle=10s,states=4.")
                                   .arg(kGroups)
                                   .arg(text(cycle.option), text(cycle.summary), itemList(cycle), text(values.option),
                                        text(values.summary), text(states.option), text(states.summary))
                                   .arg(values.maximum),
                               "G:cycle=T,values=N,states=N");
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
    list << QCommandLineOption("json", "Print the result as one JSON object on one line.");
    list << QCommandLineOption("from-settings",
                               "Start from the entries the calculator dialog stored for the current user; "
                               "the other options change them.");
    list << QCommandLineOption({"h", "help"}, "Show this help.");
    list << QCommandLineOption({"v", "V", "version"}, "Show the version.");
    return list;
}

void setUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Storage duration of a \"Scribent S\" process recorder's internal memory and SD Card.\n"
        "Without options: the calculator's defaults (1 analog channel, group 1 every minute, 256 MB).");
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(optionList());
}

}  // namespace

QString normalizedText(const QString& value) {
    QString out;
    for (QChar ch : value) {
        if (!ch.isSpace()) out += ch.toLower();
    }
    return out;
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
        result.error = printable(parser.errorText()) + QStringLiteral(" See --help.");
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument '%1'; options start with --. See --help.")
                           .arg(printable(parser.positionalArguments().first()));
        return result;
    }
    o.help = parser.isSet("help");
    o.version = parser.isSet("version");
    o.json = parser.isSet("json");
    o.result.allCards = parser.isSet("all-cards");
    o.fromSettings = parser.isSet("from-settings");

    for (const Entry& entry : entryTable()) {
        if (!hasOwnOption(entry) || !parser.isSet(text(entry.option))) continue;
        result.error = parseEntry(entry, parser.values(text(entry.option)).last(), o.entries);
        if (!result.ok()) return result;
    }
    for (const QString& groupText : parser.values("group")) {
        result.error = parseGroup(groupText, o.entries);
        if (!result.ok()) return result;
    }
    o.result.breakdown = parser.isSet("breakdown");
    result.error = parseTarget(parser, o);
    return result;
}

}  // namespace capacimo::cli
