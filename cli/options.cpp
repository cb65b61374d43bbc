#include "cli/options.h"

#include <QCommandLineParser>
#include <optional>

#include "calculator/calculation.h"
#include "calculator/recorder_setup.h"

namespace capacimo::cli {
namespace {

struct CountOption {
    const char* name;
    std::int32_t ChannelCounts::*field;
    int maximum;
    const char* description;
};

const CountOption kCountOptions[] = {
    {"analog", &ChannelCounts::analog, kAnalogChannels, "analog channels"},
    {"analog-totalized", &ChannelCounts::analogTotalized, kAnalogChannels, "... of these with totalization"},
    {"analog-impulse", &ChannelCounts::analogImpulse, kAnalogChannels, "... of these as impulse counter"},
    {"digital-events", &ChannelCounts::digitalEvents, kDigitalChannels, "on/off events or control inputs"},
    {"digital-events-optime", &ChannelCounts::digitalEventsOpTime, kDigitalChannels,
     "on/off events and operating times"},
    {"digital-counters", &ChannelCounts::digitalCounters, kDigitalChannels, "impulse counters or operation times"},
    {"math-values", &ChannelCounts::mathValues, kMathChannels, "math instantaneous values"},
    {"math-values-totalized", &ChannelCounts::mathValuesTotalized, kMathChannels, "... of these with totalization"},
    {"math-states", &ChannelCounts::mathStates, kMathChannels, "math on/off events (states)"},
    {"math-counters", &ChannelCounts::mathCounters, kMathChannels, "math counters or operation times"},
};

// Control characters (a line break in a value, say) written as escapes, so
// that an error stays one line.
QString printable(const QString& text) {
    QString out;
    for (const QChar c : text) {
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

std::optional<int> parseCount(const QString& text, int maximum) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < 0 || v > maximum) return std::nullopt;
    return v;
}

// Finds a text in a list of choices; returns its item index or -1.
int findChoice(const QString& text, const QStringList& choices) {
    const QString wanted = normalizedText(text);
    for (int i = 0; i < choices.size(); ++i) {
        if (normalizedText(choices[i]) == wanted) return i;
    }
    return -1;
}

QStringList analysisChoices(int analysis, bool withShortNames) {
    QStringList list;
    for (int item = 0; item < analysisItemCount(analysis); ++item) {
        list << QString::fromStdString(analysisText(analysisCodeForItem(analysis, item)));
    }
    if (withShortNames && analysis != 0) {
        list = QStringList{"no", "daily", "weekly", "monthly", "annual"};
    }
    return list;
}

QStringList cycleChoices(int group) {
    QStringList list;
    for (int item = 0; item < cycleItemCount(group); ++item) {
        list << QString::fromStdString(storageCycleText(storageCycleCodeForItem(group, item)));
    }
    return list;
}

QStringList cardChoices() {
    QStringList list;
    for (const CardSize& card : kCardSizes) list << QString::fromLatin1(card.text).remove(' ');
    return list;
}

QString parseGroup(const QString& groupText, CalculatorEntries& entries) {
    const QString accepted = QStringLiteral("G:cycle=T,values=N,states=N with G 1..10, N 0..8");
    const qsizetype colon = groupText.indexOf(':');
    bool ok = false;
    const int group = groupText.left(colon).trimmed().toInt(&ok, 10);
    if (colon < 0 || !ok || group < 1 || group > kGroups) return fail("group", groupText, accepted);
    const int g = group - 1;
    const QStringList settings = groupText.mid(colon + 1).split(',');
    for (const QString& setting : settings) {
        const qsizetype eq = setting.indexOf('=');
        const QString key = setting.left(eq).trimmed().toLower();
        const QString value = eq < 0 ? QString() : setting.mid(eq + 1);
        if (eq < 0 || key.isEmpty()) return fail("group", groupText, accepted);
        if (key == "cycle") {
            const QStringList choices = cycleChoices(g);
            const int item = findChoice(value, choices);
            if (item < 0) {
                return fail("group", groupText, QStringLiteral("a cycle of group %1: %2").arg(group).arg(choices.join(", ")));
            }
            entries.cycleItems[g] = item;
        } else if (key == "values" || key == "states") {
            const auto n = parseCount(value, kSlotsPerGroup);
            if (!n) return fail("group", groupText, QStringLiteral("%1=N with N 0..%2").arg(key).arg(kSlotsPerGroup));
            (key == "values" ? entries.counts.groupValues : entries.counts.groupStates)[g] = *n;
        } else {
            return fail("group", groupText, QStringLiteral("the keys cycle, values and states"));
        }
    }
    return {};
}

QList<QCommandLineOption> optionList() {
    QList<QCommandLineOption> list;
    for (const CountOption& c : kCountOptions) {
        list << QCommandLineOption(c.name, QStringLiteral("Number of %1 (0..%2).").arg(c.description).arg(c.maximum),
                                   "N");
    }
    list << QCommandLineOption("analysis1", "Analysis 1: no, 1min .. 12h.", "T");
    for (int k = 2; k <= kAnalyses; ++k) {
        list << QCommandLineOption(QStringLiteral("analysis%1").arg(k),
                                   QStringLiteral("Analysis %1: no, daily, weekly, monthly, annual.").arg(k), "T");
    }
    list << QCommandLineOption("card", "SD card size: 256MB, 512MB, 1GB, 2GB.", "T");
    list << QCommandLineOption("group",
                               "Group G (1..10): storage cycle T (Off, 100ms for group 1 only, 1s .. 1h), "
                               "instantaneous values and on/off states N (0..8). Repeatable.",
                               "G:cycle=T,values=N,states=N");
    list << QCommandLineOption("all-cards", "Show the SD card result for every card size.");
    list << QCommandLineOption("json", "Print the result as one JSON object.");
    list << QCommandLineOption("from-settings",
                               "Start from the entries the calculator dialog stored for the current user; "
                               "the other options change them.");
    list << QCommandLineOption({"h", "help"}, "Show this help.");
    list << QCommandLineOption({"v", "version"}, "Show the version.");
    return list;
}

void setUpParser(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Storage duration of a \"Scribent S\" process recorder's internal memory and SD card.\n"
        "Without options: the calculator's defaults (1 analog channel, group 1 every minute, 256 MB).");
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(optionList());
}

}  // namespace

QString normalizedText(const QString& text) {
    QString out;
    for (QChar ch : text) {
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
    o.allCards = parser.isSet("all-cards");
    o.fromSettings = parser.isSet("from-settings");

    for (const CountOption& c : kCountOptions) {
        if (!parser.isSet(c.name)) continue;
        const QString text = parser.values(c.name).last();
        const auto n = parseCount(text, c.maximum);
        if (!n) {
            result.error = fail(c.name, text, QStringLiteral("a whole number from 0 to %1").arg(c.maximum));
            return result;
        }
        o.entries.counts.*(c.field) = *n;
    }
    for (int k = 0; k < kAnalyses; ++k) {
        const QString name = QStringLiteral("analysis%1").arg(k + 1);
        if (!parser.isSet(name)) continue;
        const QString text = parser.values(name).last();
        int item = findChoice(text, analysisChoices(k, false));
        if (item < 0) item = findChoice(text, analysisChoices(k, true));
        if (item < 0) {
            result.error = fail(name, text, analysisChoices(k, k != 0).join(", "));
            return result;
        }
        o.entries.analysisItems[k] = item;
    }
    if (parser.isSet("card")) {
        const QString text = parser.values("card").last();
        const int item = findChoice(text, cardChoices());
        if (item < 0) {
            result.error = fail("card", text, cardChoices().join(", "));
            return result;
        }
        o.entries.cardItem = item;
    }
    for (const QString& groupText : parser.values("group")) {
        result.error = parseGroup(groupText, o.entries);
        if (!result.ok()) return result;
    }
    return result;
}

}  // namespace capacimo::cli
