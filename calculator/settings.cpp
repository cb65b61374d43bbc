#include "calculator/settings.h"

#include "common/core/decimal_text.h"
#include "common/settings_store.h"

namespace capacimo::unit {
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
    } catch (const SettingsWriteError& e) {
        // The values go to the store together, so a refused store refuses
        // them all: the error names the first section of the save, and on
        // the next line which file failed and why.
        throw SettingsError(formatText(QStringLiteral("Erzeugung von Schlüssel %s misslungen"), section).toStdString() +
                            '\n' + e.what());
    }
}

bool SettingsKeyOpen() { return unitKey().isOpen(); }

std::int32_t ReadSettingInteger(const QString& section, const QString& name, std::int32_t defaultValue,
                                bool closeAfter) {
    const ini::StoredValue stored = unitKey().read(section, name);
    std::optional<std::int32_t> number;
    if (stored.kind == ini::StoredValue::Kind::Text) number = parseDecimal(stored.text.toStdString());
    if (closeAfter) CloseSettingsKey();
    return number.value_or(defaultValue);
}

void WriteSettingInteger(const QString& section, const QString& name, std::int32_t value, bool closeAfter) {
    unitKey().write(section, name, QString::number(value));
    if (closeAfter) CloseSettingsKey();
}

QString ReadSettingText(const QString& section, const QString& name, bool closeAfter) {
    const ini::StoredValue stored = unitKey().read(section, name);
    if (closeAfter) CloseSettingsKey();
    return stored.kind == ini::StoredValue::Kind::Text ? stored.text : QString();
}

void WriteSettingText(const QString& section, const QString& name, const QString& text, bool closeAfter) {
    unitKey().write(section, name, text);
    if (closeAfter) CloseSettingsKey();
}

CalculatorEntries readStoredEntries() {
    OpenSettingsKey();
    const CalculatorEntries entries = entriesFromStore([](const Entry& entry, std::int32_t fallback) {
        return ReadSettingInteger(QString::fromStdString(entry.section), QString::fromStdString(entry.name), fallback,
                                  false);
    });
    CloseSettingsKey();
    return entries;
}

StoredEntries readStoredEntriesChecked() {
    OpenSettingsKey();
    const SettingsStore& store = unitKey().store();
    StoredEntries stored{{}, store.readProblem(), {}};
    if (!store.found() && stored.problem.isEmpty()) {
        stored.note = SettingsStore::filePath() + QLatin1String(": not there yet, the entries are the defaults");
    }
    stored.entries = readStoredEntries();  // the same reading: the key is open
    return stored;
}

void storeEntries(const CalculatorEntries& entries) {
    OpenSettingsKey();
    for (const Entry& entry : entryTable()) {
        WriteSettingInteger(QString::fromStdString(entry.section), QString::fromStdString(entry.name),
                            entry.field(entries), false);
    }
    CloseSettingsKey();
}

}  // namespace capacimo::unit
