#include "common/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <filesystem>

namespace capacimo {
namespace {

// How long a save waits for another program's save to finish.
constexpr int kLockWaitMs = 3000;

// Only a regular file of sensible size is read: a directory, a device or a
// FIFO in the file's place yields nothing and is never opened. (QFileInfo
// counts devices as files, hence std::filesystem.)
bool readStoreFile(const QString& path, QByteArray& text, QString& problem) {
    text.clear();
    std::error_code error;
    const std::filesystem::path native = path.toStdU16String();
    const std::filesystem::file_status status = std::filesystem::status(native, error);
    if (status.type() == std::filesystem::file_type::not_found) return true;
    if (status.type() != std::filesystem::file_type::regular) {
        problem = QStringLiteral("%1 is not a regular file").arg(path);
        return false;
    }
    if (std::filesystem::file_size(native, error) > static_cast<std::uintmax_t>(SettingsStore::kLargestFile)) {
        problem = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(SettingsStore::kLargestFile);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return false;
    }
    text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        problem = file.errorString();
        text.clear();
        return false;
    }
    return true;
}

}  // namespace

QString SettingsStore::filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           QLatin1String(kOrganization) + u'/' + QLatin1String(kApplication) + QLatin1String(".conf");
}

SettingsStore::SettingsStore() {
    QString problem;
    readStoreFile(filePath(), text_, problem);
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
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        throw SettingsWriteError(QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath()).toStdString());
    }
    // One save at a time: the file is read again under the lock, so that
    // what another program saved meanwhile is kept.
    QLockFile lock(path + QLatin1String(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        throw SettingsWriteError(QStringLiteral("cannot lock %1").arg(path).toStdString());
    }
    QByteArray current;
    QString problem;
    if (!readStoreFile(path, current, problem)) throw SettingsWriteError(problem.toStdString());

    // QSaveFile writes a temporary file and renames it over the store only
    // when every byte was written and flushed to the disk. Unbuffered, so
    // that a full disk fails the write itself: a buffered write would only
    // fail when commit() closes the file, which QSaveFile does not check.
    const QByteArray text = ini::withValues(current, changes_);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw SettingsWriteError(file.errorString().toStdString());
    }
    if (file.write(text) != text.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw SettingsWriteError(reason.toStdString());
    }
    if (!file.commit()) throw SettingsWriteError(file.errorString().toStdString());
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
    store->save();
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
