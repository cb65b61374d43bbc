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
// sections, comments, damaged lines) exactly as it was. Saves of several
// processes take turns through a lock beside the file (common/store_lock.h).
//
// Why not QSettings itself, which reads and writes the same form: measured
// with Qt 6.4, it loses values after a damaged section header, hangs on a
// FIFO in the file's place, drops the comments of a file it rewrites, reports
// success after a write that failed (a full disk, a read-only directory), and
// rewrites the whole file at every sync.
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
    // Why there is no store when neither XDG_CONFIG_HOME nor HOME names a home.
    static constexpr const char* kNoHome = "neither XDG_CONFIG_HOME nor HOME is set: no home for the settings";

    // Reads the store. Never fails: what cannot be read is missing.
    SettingsStore();

    // Empty when the user has no home directory.
    static QString filePath();
    // Whether something is in the file's place, and why it could not be read
    // ("PATH: reason"; empty when it was read or is missing).
    bool found() const { return found_; }
    const QString& readProblem() const { return problem_; }

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
    bool found_ = false;
    QString problem_;
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
    // Throws SettingsWriteError when the changes could not be saved (and
    // writes its text to stderr); the key is closed all the same and the
    // changes are given up.
    void close();
    bool isOpen() const { return store_ != nullptr; }
    // The store the open key reads.
    const SettingsStore& store() const { return *store_; }

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
