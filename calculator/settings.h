// The unit's entries in the per-user settings store shared with the host
// (common/settings_store.h), below the unit's key "ScribentS". Every value is
// a signed 32-bit integer stored as decimal text; which values there are is
// the table of entries (calculator/entries.h).
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

#include "calculator/entries.h"

namespace capacimo::unit {

// Raised when the store refuses a save; the text is the one the user sees.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one settings key of the unit: opened on first use, closed after every
// complete load and save. Closing writes what was set since it was opened,
// all in one save, and throws SettingsError when the store refused it: then
// nothing of it is stored and the store is as it was.
void OpenSettingsKey();
void CloseSettingsKey();
bool SettingsKeyOpen();

// Reads an integer; a missing section or value, a value that is not text, and
// text that is not a decimal integer within 32 bits give defaultValue.
std::int32_t ReadSettingInteger(const QString& section, const QString& name, std::int32_t defaultValue,
                                bool closeAfter);
// Sets value as decimal text; it reaches the store when the key is closed.
void WriteSettingInteger(const QString& section, const QString& name, std::int32_t value, bool closeAfter);

// A text beside the entries (the plant window's file), for windows of the
// unit that remember one: the stored text, or an empty one.
QString ReadSettingText(const QString& section, const QString& name, bool closeAfter);
void WriteSettingText(const QString& section, const QString& name, const QString& text, bool closeAfter);

// The entries the calculator dialog shows for what the store holds.
CalculatorEntries readStoredEntries();
// What the command line starts from: the stored entries as the dialog reads
// them, or why the store cannot be read (problem, "PATH: reason"). note says
// that there is no store yet and the entries are the defaults.
struct StoredEntries {
    CalculatorEntries entries;
    QString problem;
    QString note;
};
StoredEntries readStoredEntriesChecked();
// Stores every entry, whether it changed or not, in one save.
void storeEntries(const CalculatorEntries& entries);

}  // namespace capacimo::unit
