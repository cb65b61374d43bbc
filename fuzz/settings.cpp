// The settings file, as the dialog and capacimo-calc --from-settings read it
// (calculator/settings.h, through common/settings_store.h and
// common/ini_text.h), and as a save rewrites it. Whatever the bytes, reading
// gives entries; saving those entries into the same bytes must give a file
// from which every value reads back as saved, and saving them once more must
// change nothing.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <utility>
#include <vector>

#include "calculator/entry_values.h"
#include "calculator/settings.h"
#include "common/ini_text.h"
#include "common/settings_store.h"
#include "fuzz/fuzz_check.h"

namespace {

using capacimo::fuzz::check;

// The store file of a private configuration directory, for this run only.
QString storePath() {
    static QTemporaryDir home;
    static const QString path = [] {
        check(home.isValid(), "a temporary configuration directory");
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        QDir(home.path()).mkpath(QLatin1String(capacimo::SettingsStore::kOrganization));
        return capacimo::SettingsStore::filePath();
    }();
    return path;
}

// A new file each time: the file system would write one cut short and
// written again through to the disk at once, which slows the run a hundredfold.
void plant(const QByteArray& bytes) {
    QFile::remove(storePath());
    QFile file(storePath());
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "the store file is written");
}

// The values the unit's save sets: each entry below the unit's key, as decimal text.
std::vector<std::pair<QString, QString>> savedValues(const capacimo::CalculatorEntries& entries) {
    std::vector<std::pair<QString, QString>> values;
    for (const capacimo::Entry& entry : capacimo::entryTable()) {
        const QString name = QString::fromStdString(capacimo::storedName(entry)).replace(u'\\', u'/');
        values.emplace_back(QLatin1String("ScribentS/") + name, QString::number(entry.field(entries)));
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    plant(bytes);
    const capacimo::unit::StoredEntries stored = capacimo::unit::readStoredEntriesChecked();
    const auto values = savedValues(stored.entries);
    const QByteArray saved = capacimo::ini::withValues(bytes, values);
    check(capacimo::ini::withValues(saved, values) == saved, "saving the same values again changes nothing");
    plant(saved);
    const capacimo::SettingsStore store;
    for (const auto& [key, text] : values) {
        check(store.value(key) == capacimo::ini::StoredValue{capacimo::ini::StoredValue::Kind::Text, text},
              "every value saved reads back as it was saved");
    }
    return 0;
}
