#include "calculator/settings.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "common/settings_store.h"

namespace capacimo {
namespace {

// The unit's key in the store shared with the host.
SettingsKey& unitKey() {
    static SettingsKey key(QStringLiteral("ScribentS"));
    return key;
}

QString formatText(const QString& pattern, const QString& argument) {
    return QString(pattern).replace(QStringLiteral("%s"), argument);
}

}  // namespace

void OpenSettingsKey() { unitKey().open(); }

void CloseSettingsKey() {
    SettingsKey& key = unitKey();
    const QString section = key.firstSectionWritten();
    try {
        key.close();
    } catch (const SettingsWriteError&) {
        // The values go to the store together, so a refused store refuses
        // them all: the error names the first section of the save.
        throw SettingsError(formatText(QStringLiteral("Erzeugung von Schlüssel %s misslungen"), section)
                                .toStdString());
    }
}

bool SettingsKeyOpen() { return unitKey().isOpen(); }

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
    const ini::StoredValue stored = unitKey().read(section, name);
    std::int32_t result = defaultValue;
    std::int32_t parsed = 0;
    if (stored.kind == ini::StoredValue::Kind::Text && parseStoredInteger(stored.text, &parsed)) result = parsed;
    if (closeAfter) CloseSettingsKey();
    return result;
}

void WriteSettingInteger(const QString& section, const QString& name, std::int32_t value, bool closeAfter) {
    unitKey().write(section, name, QString::number(value));
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
    if (d.totalized) e.counts.analogTotalized = std::clamp(*d.totalized, 0, kAnalogChannels);
    if (d.impulse) e.counts.analogImpulse = std::clamp(*d.impulse, 0, kAnalogChannels);
    return e;
}

}  // namespace capacimo
