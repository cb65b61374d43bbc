#include "common/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <filesystem>
#include <iostream>

#include "common/store_lock.h"

namespace capacimo {
namespace {

// Only a regular file of sensible size is read: a directory, a device or a
// FIFO in the file's place yields nothing and is never opened. (QFileInfo
// counts devices as files, hence std::filesystem.)
// problem: "PATH: reason" when the file is there but cannot be read.
bool readStoreFile(const QString& path, QByteArray& text, bool& found, QString& problem) {
    text.clear();
    found = false;
    std::error_code error;
    const std::filesystem::path native = path.toStdU16String();
    const std::filesystem::file_status status = std::filesystem::status(native, error);
    if (status.type() == std::filesystem::file_type::not_found) return true;
    found = true;
    if (status.type() != std::filesystem::file_type::regular) {
        problem = QStringLiteral("%1: not a regular file").arg(path);
        return false;
    }
    if (std::filesystem::file_size(native, error) > static_cast<std::uintmax_t>(SettingsStore::kLargestFile)) {
        problem = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(SettingsStore::kLargestFile);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = path + QLatin1String(": ") + file.errorString();
        return false;
    }
    text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        problem = path + QLatin1String(": ") + file.errorString();
        text.clear();
        return false;
    }
    return true;
}

}  // namespace

QString SettingsStore::filePath() {
    // Without XDG_CONFIG_HOME and HOME, Qt names "//.config": no user's home.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME")) && qEnvironmentVariable("HOME").isEmpty()) {
        return {};
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           QLatin1String(kOrganization) + u'/' + QLatin1String(kApplication) + QLatin1String(".conf");
}

SettingsStore::SettingsStore() {
    const QString path = filePath();
    if (path.isEmpty()) {
        problem_ = QLatin1String(kNoHome);
        return;
    }
    readStoreFile(path, text_, found_, problem_);
}

void SettingsStore::index(const QString& top) const {
    indexed_.insert(top);
    ini::Reader reader(text_);
    ini::Line line;
    while (reader.next(line)) {
        if (line.kind != ini::Line::Kind::Entry) continue;
        // Only the values below this first part: the file may hold much else.
        if (!line.key.startsWith(top) || (line.key.size() > top.size() && line.key[top.size()] != u'/')) continue;
        values_.insert(line.key, ini::parseValue(line.rawValue));  // a repeated key: the last one counts
    }
}

ini::StoredValue SettingsStore::value(const QString& key) const {
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        if (it->first == key) return {ini::StoredValue::Kind::Text, it->second};
    }
    const QString top = key.section(u'/', 0, 0);
    if (!indexed_.contains(top)) index(top);
    return values_.value(key);
}

void SettingsStore::setValue(const QString& key, const QString& text) {
    for (auto& change : changes_) {
        if (change.first == key) {
            change.second = text;
            return;
        }
    }
    changes_.emplace_back(key, text);
}

void SettingsStore::save() {
    if (changes_.empty()) return;
    const QString path = filePath();
    if (path.isEmpty()) throw SettingsWriteError(kNoHome);
    const QString directory = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(directory)) {
        throw SettingsWriteError(QStringLiteral("%1: cannot be created").arg(directory).toStdString());
    }
    // One save at a time: the file is read again under the lock, so that
    // what another program saved meanwhile is kept.
    QString problem;
    const std::optional<StoreLock> lock = StoreLock::take(path + QLatin1String(".lock"), problem);
    if (!lock) throw SettingsWriteError(problem.toStdString());
    QByteArray current;
    bool found = false;
    if (!readStoreFile(path, current, found, problem)) throw SettingsWriteError(problem.toStdString());

    // QSaveFile writes a temporary file and renames it over the store only
    // when every byte was written and flushed to the disk. Unbuffered, so
    // that a full disk fails the write itself: a buffered write would only
    // fail when commit() closes the file, which QSaveFile does not check.
    const QByteArray text = ini::withValues(current, changes_);
    QSaveFile file(path);
    auto failure = [&path](const QFileDevice& f) {
        return SettingsWriteError((path + QLatin1String(": ") + f.errorString()).toStdString());
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) throw failure(file);
    if (file.write(text) != text.size()) {
        const SettingsWriteError error = failure(file);
        file.cancelWriting();
        throw error;
    }
    if (!file.commit()) throw failure(file);
    text_ = text;
    indexed_.clear();
    values_.clear();
    changes_.clear();
}

void SettingsKey::open() {
    if (store_) return;
    store_ = std::make_unique<SettingsStore>();
    firstSection_.clear();
    firstName_.clear();
}

void SettingsKey::close() {
    if (!store_) return;
    const std::unique_ptr<SettingsStore> store = std::move(store_);
    try {
        store->save();
    } catch (const SettingsWriteError& e) {
        // The box the user sees may be gone unread; the terminal keeps it.
        std::cerr << "Capacimo: the settings were not saved: " << e.what() << std::endl;
        throw;
    }
}

QString SettingsKey::path(const QString& section, const QString& name) const {
    QString key = root_.isEmpty() ? section : root_ + u'/' + section;
    return key.replace(u'\\', u'/') + u'/' + name;
}

ini::StoredValue SettingsKey::read(const QString& section, const QString& name) {
    open();
    return store_->value(path(section, name));
}

void SettingsKey::write(const QString& section, const QString& name, const QString& text) {
    open();
    if (!store_->hasChanges()) {
        firstSection_ = section;
        firstName_ = name;
    }
    store_->setValue(path(section, name), text);
}

}  // namespace capacimo
