// The per-user settings store that Capacimo and its units share: one file,
// Ostrelwerk/Capacimo.conf in the user's configuration directory
// ($XDG_CONFIG_HOME, or ~/.config, on Linux), in the INI form of QSettings.
// The host keeps its section "Settings" there, each unit its own key below
// (the "Scribent S" unit: "ScribentS").
//
// A store is read once when it is opened and written once when the changes
// are saved. Reading judges every value on its own, so a damaged line or a
// file that is no file at all costs no more than what cannot be read.
// Saving replaces the whole file with a complete new one or leaves the old
// one untouched, and keeps every line it does not change (other programs'
// sections, comments, damaged lines) exactly as it was.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "common/ini_text.h"

namespace capacimo {

// The store could not be saved; the old file is untouched. The text says why.
class SettingsWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SettingsStore {
public:
    // The names the store is found under, as QSettings composes them.
    static constexpr const char* kOrganization = "Ostrelwerk";
    static constexpr const char* kApplication = "Capacimo";
    // A larger file is not read (and, so that nothing is lost, not replaced).
    static constexpr qsizetype kLargestFile = qsizetype{256} << 20;

    // Reads the store. Never fails: what cannot be read is missing.
    SettingsStore();

    static QString filePath();

    // key: the full path with "/" between the parts ("ScribentS/Settings/CFSize").
    ini::StoredValue value(const QString& key) const;
    void setValue(const QString& key, const QString& text);
    bool hasChanges() const { return !changes_.empty(); }

    // Writes the changed values. Throws SettingsWriteError when the file
    // cannot be replaced completely; the changes are kept then.
    void save();

private:
    // Indexes the values below one first key part, when first asked for.
    void index(const QString& top) const;

    QByteArray text_;
    mutable QSet<QString> indexed_;
    mutable QHash<QString, ini::StoredValue> values_;
    std::vector<std::pair<QString, QString>> changes_;
};

// A key of the store as the host and the units use it: opened on first use,
// closed on request. Sections are paths below the key with "\" between
// their parts ("Settings\Channels"). Closing writes what was set since the
// key was opened, in one save.
class SettingsKey {
public:
    // root: the key's path in the store; empty for the host's own key.
    explicit SettingsKey(QString root) : root_(std::move(root)) {}

    void open();
    // Throws SettingsWriteError when the changes could not be saved; the key
    // is closed all the same and the changes are given up.
    void close();
    bool isOpen() const { return store_ != nullptr; }

    ini::StoredValue read(const QString& section, const QString& name);
    void write(const QString& section, const QString& name, const QString& text);
    // The first section and value written since the key was opened.
    const QString& firstSectionWritten() const { return firstSection_; }
    const QString& firstNameWritten() const { return firstName_; }

private:
    QString path(const QString& section, const QString& name) const;

    QString root_;
    std::unique_ptr<SettingsStore> store_;
    QString firstSection_;
    QString firstName_;
};

}  // namespace capacimo
