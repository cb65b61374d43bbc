// The unit's entries in the per-user settings store shared with the host
// (common/settings_store.h), below the unit's key "ScribentS". Every value is
// a signed 32-bit integer stored as decimal text.
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "calculator/entries.h"

namespace capacimo {

// Raised when the store refuses a write; the text is the one the user sees.
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

// Decimal text of a 32-bit integer with an optional sign; false for anything else.
bool parseStoredInteger(const QString& text, std::int32_t* value);

// The 45 stored values in the order in which they are read and written.
struct StoredSetting {
    enum class Kind { CardList, AnalysisList, Count, CycleList, GroupCount };
    QString section;
    QString name;
    Kind kind;
    int index;        // analysis, group, or position among the counts
    int maximum;      // largest count (counts), item count - 1 (lists)
};
const std::vector<StoredSetting>& storedSettings();

// Section of a group: "Settings\Group" and the zero-based group index as two
// upper-case hexadecimal digits.
QString groupSection(int group);

// The field of the entries that a stored setting fills.
std::int32_t& entryField(CalculatorEntries& entries, const StoredSetting& setting);

// The entries the calculator dialog will show: the defaults, overlaid with the
// stored values, counts clamped to their fields' ranges, list positions outside
// a list on its first entry, and the dependent analog counts brought into line.
CalculatorEntries readStoredEntries();

}  // namespace capacimo
