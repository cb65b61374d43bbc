#include "calculator/settings.h"

#include <QSettings>
#include <QVariant>
#include <algorithm>
#include <limits>
#include <memory>

namespace capacimo {
namespace {

// QSettings' native store: HKEY_CURRENT_USER\Software\Ostrelwerk\Capacimo on
// Windows, $XDG_CONFIG_HOME/Ostrelwerk/Capacimo.conf elsewhere. The host keeps
// its "Settings" section there; the unit lives below "ScribentS".
const char* const kOrganization = "Ostrelwerk";
const char* const kApplication = "Capacimo";
const char* const kUnitKey = "ScribentS";

std::unique_ptr<QSettings>& handle() {
    static std::unique_ptr<QSettings> settings;
    return settings;
}

// "Settings\Channels" -> "ScribentS/Settings/Channels"
QString keyPath(const QString& section, const QString& name) {
    QString path = QString::fromLatin1(kUnitKey) + '/' + QString(section).replace('\\', '/');
    if (!name.isEmpty()) path += '/' + name;
    return path;
}

QString formatText(const QString& pattern, const QString& argument) {
    return QString(pattern).replace(QStringLiteral("%s"), argument);
}

}  // namespace

void OpenSettingsKey() {
    auto& settings = handle();
    if (settings) return;
    settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganization,
                                           kApplication);
}

void CloseSettingsKey() {
    auto& settings = handle();
    if (!settings) return;
    settings->sync();
    settings.reset();
}

bool SettingsKeyOpen() { return handle() != nullptr; }

bool parseStoredInteger(const QString& text, std::int32_t* value) {
    if (text.isEmpty()) return false;
    qsizetype i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+') ++i;
    if (i == text.size()) return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch.unicode() - '0');
        if (v > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min()) return false;
    *value = static_cast<std::int32_t>(v);
    return true;
}

std::int32_t ReadSettingInteger(const QString& section, const QString& name, std::int32_t defaultValue,
                                bool closeAfter) {
    OpenSettingsKey();
    std::int32_t result = defaultValue;
    QSettings& settings = *handle();
    // A store that cannot be parsed is treated as empty.
    if (settings.status() == QSettings::NoError) {
        const QVariant stored = settings.value(keyPath(section, name));
        std::int32_t parsed = 0;
        if (stored.typeId() == QMetaType::QString && parseStoredInteger(stored.toString(), &parsed)) {
            result = parsed;
        }
    }
    if (closeAfter) CloseSettingsKey();
    return result;
}

void WriteSettingInteger(const QString& section, const QString& name, std::int32_t value, bool closeAfter) {
    OpenSettingsKey();
    QSettings& settings = *handle();
    if (!settings.isWritable()) {
        throw SettingsError(formatText(QStringLiteral("Erzeugung von Schlüssel %s misslungen"), section)
                                .toStdString());
    }
    settings.setValue(keyPath(section, name), QString::number(value));
    // Write through at once, so that a store that refuses writes is noticed at
    // the value that failed and everything before it stays stored.
    // (A format error is left over from reading a damaged store; writing
    // replaces it with good values.)
    settings.sync();
    if (settings.status() == QSettings::AccessError) {
        throw SettingsError(formatText(QStringLiteral("Konnte Daten für '%s' nicht setzen"), name).toStdString());
    }
    if (closeAfter) CloseSettingsKey();
}

QString groupSection(int group) {
    return QStringLiteral("Settings\\Group") + QString::number(group, 16).toUpper().rightJustified(2, '0');
}

const std::vector<StoredSetting>& storedSettings() {
    static const std::vector<StoredSetting> table = [] {
        using K = StoredSetting::Kind;
        const QString general = QStringLiteral("Settings");
        const QString channels = QStringLiteral("Settings\\Channels");
        std::vector<StoredSetting> t;
        t.push_back({general, "CFSize", K::CardList, 0, kCardItems - 1});
        for (int k = 0; k < kAnalyses; ++k) {
            t.push_back({general, QStringLiteral("Analysis%1").arg(k + 1), K::AnalysisList, k,
                         analysisItemCount(k) - 1});
        }
        const struct { const char* name; int maximum; } counts[] = {
            {"CountAnalog", kAnalogChannels},          {"CountAnalogIntegr", kAnalogChannels},
            {"CountAnalogIC", kAnalogChannels},        {"CountDigitalCounter", kDigitalChannels},
            {"CountDigitalOnOffOptTime", kDigitalChannels}, {"CountDigitalOnOff", kDigitalChannels},
            {"CountMathIV", kMathChannels},            {"CountMathIVIntegr", kMathChannels},
            {"CountMathState", kMathChannels},         {"CountMathCounter", kMathChannels},
        };
        for (int i = 0; i < 10; ++i) t.push_back({channels, counts[i].name, K::Count, i, counts[i].maximum});
        for (int g = 0; g < kGroups; ++g) {
            t.push_back({groupSection(g), "SaveCycle", K::CycleList, g, cycleItemCount(g) - 1});
            t.push_back({groupSection(g), "CountGroupIV", K::GroupCount, g, kSlotsPerGroup});
            t.push_back({groupSection(g), "CountGroupState", K::GroupCount, g, kSlotsPerGroup});
        }
        return t;
    }();
    return table;
}

std::int32_t& entryField(CalculatorEntries& e, const StoredSetting& s) {
    using K = StoredSetting::Kind;
    ChannelCounts& c = e.counts;
    switch (s.kind) {
    case K::CardList: return e.cardItem;
    case K::AnalysisList: return e.analysisItems[static_cast<std::size_t>(s.index)];
    case K::CycleList: return e.cycleItems[static_cast<std::size_t>(s.index)];
    case K::GroupCount:
        return (s.name == "CountGroupIV" ? c.groupValues : c.groupStates)[static_cast<std::size_t>(s.index)];
    case K::Count: break;
    }
    std::int32_t* const fields[] = {&c.analog,          &c.analogTotalized,     &c.analogImpulse, &c.digitalCounters,
                                    &c.digitalEventsOpTime, &c.digitalEvents,   &c.mathValues,
                                    &c.mathValuesTotalized, &c.mathStates,      &c.mathCounters};
    return *fields[s.index];
}

CalculatorEntries readStoredEntries() {
    CalculatorEntries e = defaultEntries();
    for (const StoredSetting& s : storedSettings()) {
        std::int32_t& field = entryField(e, s);
        const std::int32_t v = ReadSettingInteger(s.section, s.name, field, false);
        if (s.kind == StoredSetting::Kind::Count || s.kind == StoredSetting::Kind::GroupCount) {
            field = std::clamp(v, 0, s.maximum);  // what the entry field makes of it
        } else {
            field = (v < 0 || v > s.maximum) ? 0 : v;  // outside the list: first entry
        }
    }
    CloseSettingsKey();
    const AnalogDependents d =
        adjustAnalogDependents(e.counts.analog, e.counts.analogTotalized, e.counts.analogImpulse);
    e.counts.analogTotalized = std::clamp(d.totalized, 0, kAnalogChannels);
    e.counts.analogImpulse = std::clamp(d.impulse, 0, kAnalogChannels);
    return e;
}

}  // namespace capacimo
